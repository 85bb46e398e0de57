#include "video/mpeg_stream_reader.h"

#include <algorithm>

namespace emberline::video {
namespace {

Unexpected damaged(std::uint64_t at, const std::string& what) {
  return fail(ErrorKind::InvalidArgument, what + " at byte " + std::to_string(at) + ": the stream is damaged");
}

std::string hexByte(std::uint8_t b) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[b >> 4] + kDigits[b & 0x0F];
}

}  // namespace

Result<MpegStreamReader> MpegStreamReader::open(const std::string& path, std::size_t unitSize) {
  auto input = MpegFileInput::open(path);
  if (!input) return fail(std::move(input).error());
  return MpegStreamReader(std::move(input.value()), unitSize);
}

MpegStreamReader MpegStreamReader::ofBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                                           std::size_t unitSize) {
  return MpegStreamReader(MpegFileInput::ofBytes(bytes, name), unitSize);
}

std::optional<AudioFrameHeader> MpegStreamReader::audioHeader() const {
  if (audioSeen_.empty()) return std::nullopt;
  return audio_[audioSeen_.front().first - 0xC0].header();
}

std::vector<MpegAudioStream> MpegStreamReader::audioStreams() const {
  std::vector<MpegAudioStream> streams;
  for (const auto& [id, offset] : audioSeen_) streams.push_back({id, audio_[id - 0xC0].header(), offset});
  return streams;
}

Unexpected MpegStreamReader::truncated() const {
  return fail(ErrorKind::InvalidArgument, "the stream ends inside a pack at byte " + std::to_string(input_.size()));
}

Status MpegStreamReader::require(std::size_t count) {
  EMBERLINE_TRY(input_.fill(count));
  if (input_.available().size() < count) return truncated();
  return {};
}

Status MpegStreamReader::take(std::size_t count) {
  if (packBytes_.size() + count > kMaxPackSize)
    return fail(ErrorKind::InvalidArgument, "a pack longer than " + std::to_string(kMaxPackSize) + " bytes at byte " +
                                                std::to_string(input_.position() - packBytes_.size()) +
                                                ": the stream is damaged");
  const auto bytes = input_.available().first(count);
  packBytes_.insert(packBytes_.end(), bytes.begin(), bytes.end());
  input_.advance(count);
  return {};
}

Status MpegStreamReader::readPacket(MpegPack& pack, std::uint8_t streamId) {
  const std::uint64_t at = input_.position();
  EMBERLINE_TRY(require(6));
  const auto head = input_.available();
  const std::size_t length = (std::size_t{head[4]} << 8) | head[5];
  if (length == 0) return damaged(at, "a packet of unbounded length");
  EMBERLINE_TRY(require(6 + length));
  const auto packet = input_.available().first(6 + length);
  if (streamId != start_code::kSystemHeader && pesHasHeader(streamId)) {
    const auto pes = decodePesHeader(packet);
    if (!pes) return damaged(at, "a malformed packet header");
    if (pes->timestampsDamaged) return damaged(at, "broken marker bits in a packet's timestamp");
    if (pes->pts) pack.timestamps.push_back({streamId, at, *pes->pts, pes->dts});
    const auto payload = packet.subspan(pes->payloadOffset);
    if (isVideoStream(streamId)) {
      if (!videoStream_) videoStream_ = streamId;
      if (*videoStream_ == streamId) {
        pack.hasVideo = true;
        const std::size_t before = pack.videoEvents.size();
        video_.feed(payload, pack.index, pack.videoEvents);
        // The time belongs to the first picture that begins in the packet.
        const auto picture =
            std::find_if(pack.videoEvents.begin() + static_cast<std::ptrdiff_t>(before), pack.videoEvents.end(),
                         [](const MpegVideoEvent& e) { return e.kind == MpegVideoEvent::Kind::Picture; });
        if (picture != pack.videoEvents.end()) picture->pts = pes->pts;
      }
    } else if (isAudioStream(streamId)) {
      if (!pack.hasAudio) pack.audioStream = streamId;
      pack.hasAudio = true;
      const auto seen =
          std::find_if(audioSeen_.begin(), audioSeen_.end(), [&](const auto& s) { return s.first == streamId; });
      if (seen == audioSeen_.end()) audioSeen_.emplace_back(streamId, at);
      audio_[streamId - 0xC0].feed(payload);
    } else if (streamId == start_code::kPrivateStream1 && !payload.empty() && !pack.privateSubstream) {
      pack.privateSubstream = payload[0];
      pack.privateOffset = at;
      for (std::size_t i = 0; i < pack.privateHead.size() && i + 1 < payload.size(); ++i)
        pack.privateHead[i] = payload[i + 1];
    }
  }
  if (streamId == start_code::kSystemHeader) {
    pack.hasSystemHeader = true;
    // The stream entries follow six bytes of bounds and flags: three bytes
    // each, while the first bit is set. B8 stands for all audio, B9 all video.
    for (std::size_t i = 12; i + 3 <= packet.size() && (packet[i] & 0x80); i += 3) {
      const std::uint8_t id = packet[i];
      if (isVideoStream(id) || id == 0xB9) pack.systemHeaderVideo = true;
      if (isAudioStream(id) || id == 0xB8) pack.systemHeaderAudio = true;
    }
  }
  return take(6 + length);
}

void MpegStreamReader::startPack(MpegPack& pack) {
  pack.index = nextIndex_++;
  pack.offset = input_.position();
  pack.header = PackHeader{};
  pack.empty = pack.hasSystemHeader = pack.hasVideo = pack.hasAudio = pack.endsProgram = false;
  pack.systemHeaderVideo = pack.systemHeaderAudio = false;
  pack.audioStream = 0;
  pack.privateSubstream.reset();
  pack.privateHead = {};
  pack.privateOffset = 0;
  pack.videoEvents.clear();
  pack.timestamps.clear();
  packBytes_.clear();
}

Result<std::size_t> MpegStreamReader::stuffingAhead() {
  EMBERLINE_TRY(input_.fill(4));
  const auto ahead = input_.available();
  if (ahead.empty() || ahead[0] != 0) return std::size_t{0};
  if (ahead.size() >= 3 && ahead[1] == 0 && ahead[2] == 1) return std::size_t{0};
  const auto nonZero = std::find_if(ahead.begin(), ahead.end(), [](std::uint8_t b) { return b != 0; });
  const std::size_t run = static_cast<std::size_t>(nonZero - ahead.begin());
  if (nonZero != ahead.end()) {
    if (*nonZero != 1 || run < 3) return damaged(input_.position() + run, "no start code");
    return run - 2;  // keep the two zeros of the start code prefix
  }
  return run >= 4 ? run - 2 : run;  // more may follow in the file
}

Result<bool> MpegStreamReader::readEmptyUnit(MpegPack& pack) {
  startPack(pack);
  pack.empty = true;
  for (;;) {
    auto zeros = stuffingAhead();
    if (!zeros) return fail(std::move(zeros).error());
    if (*zeros == 0) break;
    const std::size_t room = unitSize_ > 0 ? unitSize_ - packBytes_.size() : *zeros;
    EMBERLINE_TRY(take(std::min(*zeros, room)));
    if (unitSize_ > 0 && packBytes_.size() >= unitSize_) break;
  }
  if (input_.available().empty()) ended_ = true;
  pack.bytes = packBytes_;
  return true;
}

Result<bool> MpegStreamReader::next(MpegPack& pack) {
  if (ended_) return false;
  EMBERLINE_TRY(input_.fill(16));
  auto ahead = input_.available();
  const bool first = nextIndex_ == 0;
  if (ahead.empty()) {
    if (first) return fail(ErrorKind::InvalidArgument, "the file is empty");
    ended_ = true;
    return false;
  }
  if (!first) {
    auto zeros = stuffingAhead();
    if (!zeros) return fail(std::move(zeros).error());
    if (*zeros > 0) return readEmptyUnit(pack);
    ahead = input_.available();  // the look-ahead may have moved the window
  }
  bool needMore = false;
  const auto header = decodePackHeader(ahead, &needMore);
  if (!header) {
    const bool packStart =
        ahead.size() >= 4 && ahead[0] == 0 && ahead[1] == 0 && ahead[2] == 1 && ahead[3] == start_code::kPack;
    if (packStart && needMore) return truncated();
    if (first) return fail(ErrorKind::InvalidArgument, "not an MPEG program stream");
    return damaged(input_.position(), "no pack header");
  }

  if (!header->markersValid) return damaged(input_.position(), "broken marker bits in a pack's clock reference");
  startPack(pack);
  pack.header = *header;
  EMBERLINE_TRY(take(header->headerSize));

  for (;;) {
    // Zero bytes before a start code (encoders pad the last pack with them);
    // past the unit size they make an empty unit of their own.
    auto zeros = stuffingAhead();
    if (!zeros) return fail(std::move(zeros).error());
    if (*zeros > 0) {
      if (unitSize_ > 0 && packBytes_.size() >= unitSize_) break;
      EMBERLINE_TRY(take(unitSize_ > 0 ? std::min(*zeros, unitSize_ - packBytes_.size()) : *zeros));
      continue;
    }
    ahead = input_.available();
    if (ahead.empty()) {
      ended_ = true;
      break;
    }
    if (ahead.size() < 4) return truncated();
    if (ahead[0] != 0 || ahead[1] != 0 || ahead[2] != 1) return damaged(input_.position(), "no start code");
    const std::uint8_t code = ahead[3];
    if (code == start_code::kPack) break;
    if (code == start_code::kProgramEnd) {
      EMBERLINE_TRY(take(4));
      pack.endsProgram = true;
      EMBERLINE_TRY(input_.fill(16));
      const auto rest = input_.available();
      if (rest.empty() || decodePackHeader(rest)) break;
      ended_ = true;
      trailingBytes_ = input_.size() - input_.position();
      break;
    }
    if (code < start_code::kSystemHeader)
      return damaged(input_.position(), "an unexpected start code " + hexByte(code));
    EMBERLINE_TRY(readPacket(pack, code));
  }
  pack.bytes = packBytes_;
  return true;
}

}  // namespace emberline::video
