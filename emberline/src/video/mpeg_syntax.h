#pragma once
/// @file
/// Decoders of the fixed-layout headers of MPEG-1 / MPEG-2 program streams
/// and of the elementary streams they carry: pack header, PES header, video
/// sequence header and extensions, group of pictures, picture header, audio
/// frame header. Each takes the bytes after the start code (or the whole
/// header where it has none) and never reads past the span it is given.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace emberline::video {

/// Start code values (the byte after 00 00 01).
namespace start_code {
constexpr std::uint8_t kPicture = 0x00;
constexpr std::uint8_t kSequenceHeader = 0xB3;
constexpr std::uint8_t kExtension = 0xB5;
constexpr std::uint8_t kSequenceEnd = 0xB7;
constexpr std::uint8_t kGroupOfPictures = 0xB8;
constexpr std::uint8_t kProgramEnd = 0xB9;
constexpr std::uint8_t kPack = 0xBA;
constexpr std::uint8_t kSystemHeader = 0xBB;
constexpr std::uint8_t kPrivateStream1 = 0xBD;
constexpr std::uint8_t kPaddingStream = 0xBE;
}  // namespace start_code

/// The two pack header forms.
enum class MpegSystem : std::uint8_t { Mpeg1, Mpeg2 };

struct PackHeader {
  MpegSystem system = MpegSystem::Mpeg1;
  std::uint64_t scr = 0;           ///< system clock reference in 90 kHz units
  std::uint16_t scrExtension = 0;  ///< MPEG-2: the 27 MHz remainder, 0 to 299
  std::uint32_t muxRate = 0;       ///< in units of 50 bytes/s
  std::size_t headerSize = 0;      ///< bytes from the start code to the first byte after the header
  /// Every marker bit of the header is set. A cleared one means the bytes
  /// around it, the clock reference among them, cannot be trusted.
  bool markersValid = true;
};

/// Decodes a pack header starting at its start code. Needs 12 bytes for the
/// MPEG-1 form and 14 plus the stuffing for the MPEG-2 form. nullopt when the
/// bytes are neither form; `needMore` tells a short span from a wrong one.
std::optional<PackHeader> decodePackHeader(std::span<const std::uint8_t> bytes, bool* needMore = nullptr);

/// Whether a stream id carries the optional PES header (timestamps etc.).
bool pesHasHeader(std::uint8_t streamId);
constexpr bool isVideoStream(std::uint8_t id) {
  return id >= 0xE0 && id <= 0xEF;
}
constexpr bool isAudioStream(std::uint8_t id) {
  return id >= 0xC0 && id <= 0xDF;
}

struct PesHeader {
  bool mpeg2 = false;  ///< the MPEG-2 form of the optional header
  std::optional<std::uint64_t> pts;
  std::optional<std::uint64_t> dts;
  std::size_t payloadOffset = 0;  ///< from the start code
  /// The timestamps' marker bits or prefixes are broken, or the flags ask
  /// for a form the syntax forbids: the times cannot be trusted.
  bool timestampsDamaged = false;
};

/// Decodes the header of a PES packet given whole (start code to last byte).
/// nullopt when the optional header runs past the packet or is malformed.
std::optional<PesHeader> decodePesHeader(std::span<const std::uint8_t> packet);

/// Frame rates by frame_rate_code, as a fraction.
struct FrameRate {
  std::uint32_t numerator = 0;
  std::uint32_t denominator = 1;
  double value() const { return denominator ? double(numerator) / denominator : 0.0; }
  friend constexpr bool operator==(FrameRate, FrameRate) = default;
};
/// The rate of a frame_rate_code (1 to 8); 0/1 for a reserved code.
FrameRate frameRateOfCode(std::uint8_t code);

constexpr std::size_t kSequenceHeaderBytes = 8;
struct SequenceHeader {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t aspectCode = 0;
  std::uint8_t frameRateCode = 0;
  std::uint32_t bitRate = 0;  ///< units of 400 bit/s; 0x3FFFF marks a variable rate in MPEG-1
};
SequenceHeader decodeSequenceHeader(std::span<const std::uint8_t, kSequenceHeaderBytes> bytes);

/// The extensions the reader looks at, by extension_start_code_identifier.
constexpr std::uint8_t kSequenceExtensionId = 1;
constexpr std::uint8_t kPictureCodingExtensionId = 8;
constexpr std::size_t kExtensionBytes = 6;
struct SequenceExtension {
  bool progressive = false;
  std::uint8_t widthExtension = 0;     ///< the two high bits of the width
  std::uint8_t heightExtension = 0;    ///< the two high bits of the height
  std::uint16_t bitRateExtension = 0;  ///< the 12 high bits of the bit rate
};
SequenceExtension decodeSequenceExtension(std::span<const std::uint8_t, kExtensionBytes> bytes);

struct PictureCodingExtension {
  std::uint8_t pictureStructure = 3;  ///< 1 top field, 2 bottom field, 3 frame
  bool topFieldFirst = false;
  bool repeatFirstField = false;
};
PictureCodingExtension decodePictureCodingExtension(std::span<const std::uint8_t, kExtensionBytes> bytes);

constexpr std::size_t kGroupOfPicturesBytes = 4;
struct GroupOfPictures {
  std::uint8_t hours = 0, minutes = 0, seconds = 0, pictures = 0;
  bool closed = false;
};
GroupOfPictures decodeGroupOfPictures(std::span<const std::uint8_t, kGroupOfPicturesBytes> bytes);

constexpr std::size_t kPictureHeaderBytes = 2;
/// 1 I, 2 P, 3 B, 4 D.
std::uint8_t decodePictureCodingType(std::span<const std::uint8_t, kPictureHeaderBytes> bytes);
/// The picture's place in display order within its group of pictures.
std::uint16_t decodeTemporalReference(std::span<const std::uint8_t, kPictureHeaderBytes> bytes);

enum class AudioMode : std::uint8_t { Stereo, JointStereo, DualChannel, SingleChannel };

struct AudioFrameHeader {
  bool mpeg1 = true;             ///< the ID bit: MPEG-1, or the MPEG-2 lower sampling rates
  std::uint8_t layer = 0;        ///< 1, 2 or 3
  std::uint32_t bitRate = 0;     ///< bit/s; 0 for the free format or a layer whose table is not kept
  std::uint32_t sampleRate = 0;  ///< Hz
  AudioMode mode = AudioMode::Stereo;
  friend constexpr bool operator==(const AudioFrameHeader&, const AudioFrameHeader&) = default;
};
/// Decodes a 4-byte MPEG audio frame header; nullopt when the sync, layer,
/// bit rate index or sampling index is invalid.
std::optional<AudioFrameHeader> decodeAudioFrameHeader(std::span<const std::uint8_t, 4> bytes);

}  // namespace emberline::video
