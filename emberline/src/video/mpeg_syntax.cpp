// Field layouts of the MPEG system and elementary stream headers. Bit
// positions follow the syntax tables of the two MPEG systems standards. The
// marker bits around clock references and timestamps are reported, not
// refused here: a broken one means a damaged header, and the reader decides.

#include "video/mpeg_syntax.h"

#include <array>

namespace emberline::video {
namespace {

// Reads big-endian bit fields from a fixed span, most significant bit first.
class BitReader {
 public:
  explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint32_t take(unsigned count) {
    std::uint32_t v = 0;
    for (unsigned i = 0; i < count; ++i, ++bit_) {
      const std::size_t byte = bit_ / 8;
      const unsigned shift = 7 - bit_ % 8;
      v = (v << 1) | (byte < bytes_.size() ? (bytes_[byte] >> shift) & 1u : 0u);
    }
    return v;
  }
  void skip(unsigned count) { bit_ += count; }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t bit_ = 0;
};

// A 33-bit timestamp in the 5-byte layout shared by PTS and DTS.
std::uint64_t timestamp(std::span<const std::uint8_t> b) {
  return (std::uint64_t{b[0] & 0x0Eu} << 29) | (std::uint64_t{b[1]} << 22) | (std::uint64_t{b[2] & 0xFEu} << 14) |
         (std::uint64_t{b[3]} << 7) | (std::uint64_t{b[4]} >> 1);
}

// The three marker bits of that layout and its 4-bit prefix.
bool timestampIntact(std::span<const std::uint8_t> b, std::uint8_t prefix) {
  return (b[0] >> 4) == prefix && (b[0] & 1u) && (b[2] & 1u) && (b[4] & 1u);
}

}  // namespace

std::optional<PackHeader> decodePackHeader(std::span<const std::uint8_t> bytes, bool* needMore) {
  if (needMore) *needMore = false;
  auto shortOf = [&](std::size_t n) {
    if (bytes.size() >= n) return false;
    if (needMore) *needMore = true;
    return true;
  };
  if (shortOf(5)) return std::nullopt;
  if (bytes[0] != 0 || bytes[1] != 0 || bytes[2] != 1 || bytes[3] != start_code::kPack) return std::nullopt;
  PackHeader h;
  if ((bytes[4] & 0xF0) == 0x20) {
    if (shortOf(12)) return std::nullopt;
    h.system = MpegSystem::Mpeg1;
    h.scr = timestamp(bytes.subspan(4, 5));
    h.muxRate = ((std::uint32_t{bytes[9]} & 0x7Fu) << 15) | (std::uint32_t{bytes[10]} << 7) | (bytes[11] >> 1);
    h.headerSize = 12;
    h.markersValid = timestampIntact(bytes.subspan(4, 5), 0x2) && (bytes[9] & 0x80u) && (bytes[11] & 1u);
    return h;
  }
  if ((bytes[4] & 0xC0) == 0x40) {
    if (shortOf(14)) return std::nullopt;
    h.system = MpegSystem::Mpeg2;
    BitReader r(bytes.subspan(4, 6));
    r.skip(2);
    std::uint64_t base = r.take(3);
    r.skip(1);
    base = (base << 15) | r.take(15);
    r.skip(1);
    base = (base << 15) | r.take(15);
    h.scr = base;
    r.skip(1);
    h.scrExtension = static_cast<std::uint16_t>(r.take(9));
    h.markersValid = (bytes[4] & 0x04u) && (bytes[6] & 0x04u) && (bytes[8] & 0x04u) && (bytes[9] & 0x01u) &&
                     (bytes[12] & 0x03u) == 0x03u;
    h.muxRate = (std::uint32_t{bytes[10]} << 14) | (std::uint32_t{bytes[11]} << 6) | (bytes[12] >> 2);
    h.headerSize = 14 + (bytes[13] & 0x07u);
    if (shortOf(h.headerSize)) return std::nullopt;
    return h;
  }
  return std::nullopt;
}

bool pesHasHeader(std::uint8_t id) {
  switch (id) {
    case 0xBC:  // program stream map
    case 0xBE:  // padding
    case 0xBF:  // private stream 2
    case 0xF0:  // ECM
    case 0xF1:  // EMM
    case 0xF2:  // DSM-CC
    case 0xF8:  // H.222.1 type E
    case 0xFF:  // program stream directory
      return false;
    default:
      return true;
  }
}

std::optional<PesHeader> decodePesHeader(std::span<const std::uint8_t> p) {
  if (p.size() < 6) return std::nullopt;
  PesHeader h;
  if (!pesHasHeader(p[3])) {
    h.payloadOffset = 6;
    return h;
  }
  if (p.size() >= 9 && (p[6] & 0xC0) == 0x80) {
    h.mpeg2 = true;
    const std::size_t end = 9 + std::size_t{p[8]};
    if (end > p.size()) return std::nullopt;
    const unsigned flags = p[7] >> 6;
    if (flags == 1) h.timestampsDamaged = true;  // a decoding time alone is forbidden
    if (flags >= 2) {
      const std::size_t need = flags == 3 ? 19 : 14;
      if (end < need) {
        h.timestampsDamaged = true;
      } else {
        h.pts = timestamp(p.subspan(9, 5));
        h.timestampsDamaged = !timestampIntact(p.subspan(9, 5), flags == 3 ? 0x3 : 0x2);
        if (flags == 3) {
          h.dts = timestamp(p.subspan(14, 5));
          h.timestampsDamaged = h.timestampsDamaged || !timestampIntact(p.subspan(14, 5), 0x1);
        }
      }
    }
    h.payloadOffset = end;
    return h;
  }
  std::size_t i = 6;
  for (int stuffing = 0; i < p.size() && p[i] == 0xFF; ++i)
    if (++stuffing > 16) return std::nullopt;
  if (i < p.size() && (p[i] & 0xC0) == 0x40) i += 2;  // STD buffer size
  if (i >= p.size()) return std::nullopt;
  if ((p[i] & 0xF0) == 0x20 || (p[i] & 0xF0) == 0x30) {
    const std::size_t length = (p[i] & 0xF0) == 0x30 ? 10 : 5;
    if (i + length > p.size()) return std::nullopt;
    h.pts = timestamp(p.subspan(i, 5));
    h.timestampsDamaged = !timestampIntact(p.subspan(i, 5), p[i] >> 4);
    if (length == 10) {
      h.dts = timestamp(p.subspan(i + 5, 5));
      h.timestampsDamaged = h.timestampsDamaged || !timestampIntact(p.subspan(i + 5, 5), 0x1);
    }
    i += length;
  } else if (p[i] == 0x0F) {
    ++i;
  } else {
    return std::nullopt;
  }
  h.payloadOffset = i;
  return h;
}

FrameRate frameRateOfCode(std::uint8_t code) {
  static constexpr std::array<FrameRate, 9> kRates{
      {{0, 1}, {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}, {50, 1}, {60000, 1001}, {60, 1}}};
  return code < kRates.size() ? kRates[code] : FrameRate{0, 1};
}

SequenceHeader decodeSequenceHeader(std::span<const std::uint8_t, kSequenceHeaderBytes> bytes) {
  BitReader r(bytes);
  SequenceHeader h;
  h.width = static_cast<std::uint16_t>(r.take(12));
  h.height = static_cast<std::uint16_t>(r.take(12));
  h.aspectCode = static_cast<std::uint8_t>(r.take(4));
  h.frameRateCode = static_cast<std::uint8_t>(r.take(4));
  h.bitRate = r.take(18);
  return h;
}

SequenceExtension decodeSequenceExtension(std::span<const std::uint8_t, kExtensionBytes> bytes) {
  BitReader r(bytes);
  r.skip(4 + 8);  // identifier, profile and level
  SequenceExtension e;
  e.progressive = r.take(1) != 0;
  r.skip(2);  // chroma format
  e.widthExtension = static_cast<std::uint8_t>(r.take(2));
  e.heightExtension = static_cast<std::uint8_t>(r.take(2));
  e.bitRateExtension = static_cast<std::uint16_t>(r.take(12));
  return e;
}

PictureCodingExtension decodePictureCodingExtension(std::span<const std::uint8_t, kExtensionBytes> bytes) {
  BitReader r(bytes);
  r.skip(4 + 16 + 2);  // identifier, f_codes, intra DC precision
  PictureCodingExtension e;
  e.pictureStructure = static_cast<std::uint8_t>(r.take(2));
  e.topFieldFirst = r.take(1) != 0;
  r.skip(5);  // frame_pred_frame_dct .. alternate_scan
  e.repeatFirstField = r.take(1) != 0;
  return e;
}

GroupOfPictures decodeGroupOfPictures(std::span<const std::uint8_t, kGroupOfPicturesBytes> bytes) {
  BitReader r(bytes);
  GroupOfPictures g;
  r.skip(1);  // drop frame
  g.hours = static_cast<std::uint8_t>(r.take(5));
  g.minutes = static_cast<std::uint8_t>(r.take(6));
  r.skip(1);
  g.seconds = static_cast<std::uint8_t>(r.take(6));
  g.pictures = static_cast<std::uint8_t>(r.take(6));
  g.closed = r.take(1) != 0;
  return g;
}

std::uint8_t decodePictureCodingType(std::span<const std::uint8_t, kPictureHeaderBytes> bytes) {
  return static_cast<std::uint8_t>((bytes[1] >> 3) & 0x07u);
}

std::uint16_t decodeTemporalReference(std::span<const std::uint8_t, kPictureHeaderBytes> bytes) {
  return static_cast<std::uint16_t>((std::uint16_t{bytes[0]} << 2) | (bytes[1] >> 6));
}

std::optional<AudioFrameHeader> decodeAudioFrameHeader(std::span<const std::uint8_t, 4> b) {
  if (b[0] != 0xFF || (b[1] & 0xF0) != 0xF0) return std::nullopt;
  AudioFrameHeader h;
  h.mpeg1 = (b[1] & 0x08) != 0;
  const unsigned layerBits = (b[1] >> 1) & 0x03u;
  if (layerBits == 0) return std::nullopt;
  h.layer = static_cast<std::uint8_t>(4 - layerBits);
  const unsigned rateIndex = b[2] >> 4;
  const unsigned sampleIndex = (b[2] >> 2) & 0x03u;
  if (rateIndex == 15 || sampleIndex == 3) return std::nullopt;
  static constexpr std::array<std::uint32_t, 3> kMpeg1Rates{44100, 48000, 32000};
  h.sampleRate = h.mpeg1 ? kMpeg1Rates[sampleIndex] : kMpeg1Rates[sampleIndex] / 2;
  // Kilobits per second by index; only Layer II matters to the video discs.
  static constexpr std::array<std::uint16_t, 15> kLayer2{0,   32,  48,  56,  64,  80,  96, 112,
                                                         128, 160, 192, 224, 256, 320, 384};
  static constexpr std::array<std::uint16_t, 15> kLowRate{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
  if (h.layer == 2) h.bitRate = 1000u * (h.mpeg1 ? kLayer2[rateIndex] : kLowRate[rateIndex]);
  h.mode = static_cast<AudioMode>(b[3] >> 6);
  return h;
}

}  // namespace emberline::video
