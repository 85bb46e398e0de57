// What each disc kind accepts, from the Video CD 2.0 and Super Video CD 1.0
// disc formats:
//   Video CD: MPEG-1 system stream, MPEG-1 video at 352x240 (29.97 or 23.976
//   frame/s) or 352x288 (25 frame/s), MPEG-1 Layer II audio at 44.1 kHz, a
//   mux rate of at most 1411200 bit/s.
//   Super Video CD: MPEG-2 program stream, MPEG-2 video at 480x480 or the
//   half width 352x480 (29.97 frame/s), 480x576 or 352x576 (25 frame/s), at
//   most 2.6 Mbit/s of video, MPEG-1 Layer II audio at 44.1 kHz, video and
//   audio together within twice the single-speed sector rate.
// Both: every pack fits the 2324 bytes of a Form 2 sector.

#include "video/mpeg_stream_check.h"

#include <cstdio>

#include "video/mpeg_stream_reader.h"

namespace emberline::video {
namespace {

constexpr std::uint32_t kVideoCdMuxRate = 1411200;                   // bit/s
constexpr std::uint32_t kSuperVideoCdVideoRate = 2600000;            // bit/s
constexpr std::uint32_t kSuperVideoCdTotalRate = 2 * 75 * 2324 * 8;  // bit/s at double speed
constexpr std::uint32_t kDiscSampleRate = 44100;

std::string discName(VideoDiscKind kind) {
  return kind == VideoDiscKind::VideoCd ? "a Video CD" : "a Super Video CD";
}

class StreamCheck {
 public:
  StreamCheck(const std::string& path, VideoDiscKind kind) : path_(path), kind_(kind) { facts_.kind = kind; }

  Result<MpegStreamFacts> run() {
    auto reader = MpegStreamReader::open(path_, kSectorPackSize);
    if (!reader) return fail(std::move(reader).error());
    facts_.fileSize = reader->fileSize();
    MpegPack pack;
    for (;;) {
      auto more = reader->next(pack);
      if (!more) return refuse(more.error());
      if (!*more) break;
      EMBERLINE_TRY(onPack(pack));
    }
    if (!videoChecked_) EMBERLINE_TRY(checkVideo());
    facts_.audio = reader->audioHeader();
    EMBERLINE_TRY(checkAudio());
    if (facts_.frameRate.numerator) facts_.durationSeconds = double(fields_) / (2.0 * facts_.frameRate.value());
    return std::move(facts_);
  }

 private:
  Unexpected refuse(const std::string& text) const { return fail(ErrorKind::InvalidArgument, path_ + ": " + text); }
  Unexpected refuse(const Error& e) const {
    if (e.kind == ErrorKind::File) return fail(e);
    return refuse(e.message);
  }

  Status onPack(const MpegPack& pack) {
    if (pack.index == 0) {
      facts_.system = pack.header.system;
      if (kind_ == VideoDiscKind::VideoCd && pack.header.system == MpegSystem::Mpeg2)
        return refuse("MPEG-2 stream given for a Video CD");
      if (kind_ == VideoDiscKind::SuperVideoCd && pack.header.system == MpegSystem::Mpeg1)
        return refuse("MPEG-1 stream given for a Super Video CD");
    }
    const auto size = static_cast<std::uint32_t>(pack.bytes.size());
    if (size > kSectorPackSize)
      return refuse("pack of " + std::to_string(size) + " bytes at byte " + std::to_string(pack.offset) + ": " +
                    discName(kind_) + " sector holds at most 2324 bytes");
    if (size != kSectorPackSize) facts_.sectorSizedPacks = false;
    if (size > facts_.largestPack) facts_.largestPack = size;
    const std::uint32_t mux = pack.header.muxRate * 400;
    if (mux > facts_.muxRate) facts_.muxRate = mux;
    if (kind_ == VideoDiscKind::VideoCd && mux > kVideoCdMuxRate)
      return refuse("mux rate " + std::to_string(mux) + " bit/s at byte " + std::to_string(pack.offset) +
                    ": a Video CD carries at most " + std::to_string(kVideoCdMuxRate) + " bit/s");
    ++facts_.packCount;
    audioSeen_ = audioSeen_ || pack.hasAudio;
    for (const MpegVideoEvent& e : pack.videoEvents) EMBERLINE_TRY(onVideo(e, pack));
    previousOffset_ = pack.offset;
    return {};
  }

  Status onVideo(const MpegVideoEvent& e, const MpegPack& pack) {
    using Kind = MpegVideoEvent::Kind;
    switch (e.kind) {
      case Kind::SequenceHeader:
        if (!sequenceSeen_) {
          sequenceSeen_ = true;
          facts_.width = e.sequence.width;
          facts_.height = e.sequence.height;
          frameRateCode_ = e.sequence.frameRateCode;
          facts_.frameRate = frameRateOfCode(e.sequence.frameRateCode);
          bitRate_ = e.sequence.bitRate;
        }
        if (!pending_) pending_ = Pending{e.packIndex, e.packIndex == pack.index ? pack.offset : previousOffset_, true};
        break;
      case Kind::SequenceExtension:
        if (!facts_.mpeg2Video && sequenceSeen_) {
          facts_.width = static_cast<std::uint16_t>(facts_.width | (e.sequenceExtension.widthExtension << 12));
          facts_.height = static_cast<std::uint16_t>(facts_.height | (e.sequenceExtension.heightExtension << 12));
          bitRate_ |= std::uint32_t{e.sequenceExtension.bitRateExtension} << 18;
        }
        facts_.mpeg2Video = true;
        progressiveSequence_ = e.sequenceExtension.progressive;
        break;
      case Kind::GroupOfPictures:
        if (!pending_)
          pending_ = Pending{e.packIndex, e.packIndex == pack.index ? pack.offset : previousOffset_, false};
        break;
      case Kind::Picture:
        if (!videoChecked_) EMBERLINE_TRY(checkVideo());
        if (pending_) {
          const double seconds = facts_.frameRate.numerator ? double(fields_) / (2.0 * facts_.frameRate.value()) : 0;
          facts_.accessPoints.push_back({pending_->packIndex, pending_->offset, seconds, pending_->sequence});
          pending_.reset();
        }
        ++facts_.pictures;
        fields_ += 2;
        break;
      case Kind::PictureCodingExtension:
        // Field pictures show one field each; repeat_first_field lengthens a frame.
        if (facts_.pictures == 0) break;
        if (e.pictureCoding.pictureStructure != 3) {
          fields_ -= 1;
        } else if (e.pictureCoding.repeatFirstField) {
          fields_ += progressiveSequence_ ? (e.pictureCoding.topFieldFirst ? 4 : 2) : 1;
        }
        break;
    }
    return {};
  }

  Status checkVideo() {
    videoChecked_ = true;
    const bool vcd = kind_ == VideoDiscKind::VideoCd;
    if (!sequenceSeen_)
      return refuse(vcd ? "no MPEG video in the stream: a Video CD needs MPEG-1 video"
                        : "no MPEG video in the stream: a Super Video CD needs MPEG-2 video");
    if (vcd && facts_.mpeg2Video) return refuse("MPEG-2 video in the stream: a Video CD needs MPEG-1 video");
    if (!vcd && !facts_.mpeg2Video) return refuse("MPEG-1 video in the stream: a Super Video CD needs MPEG-2 video");
    const std::string size = std::to_string(facts_.width) + "x" + std::to_string(facts_.height);
    const std::string rate = "frame rate " + frameRateText(facts_.frameRate) + " frame/s at " + size + ": ";
    if (vcd) {
      if (facts_.width != 352 || (facts_.height != 240 && facts_.height != 288))
        return refuse("frame size " + size + ": a Video CD needs 352x240 or 352x288");
      if (facts_.height == 240 && frameRateCode_ != 4 && frameRateCode_ != 1)
        return refuse(rate + "a Video CD needs 29.97 or 23.976 frame/s at that size");
      if (facts_.height == 288 && frameRateCode_ != 3) return refuse(rate + "a Video CD needs 25 frame/s at that size");
      return {};
    }
    if ((facts_.width != 480 && facts_.width != 352) || (facts_.height != 480 && facts_.height != 576))
      return refuse("frame size " + size + ": a Super Video CD needs 480x480 or 480x576 (or 352x480, 352x576)");
    if (facts_.height == 480 && frameRateCode_ != 4) return refuse(rate + "a Super Video CD needs 29.97 frame/s");
    if (facts_.height == 576 && frameRateCode_ != 3) return refuse(rate + "a Super Video CD needs 25 frame/s");
    facts_.videoBitRate = bitRate_ * 400;
    if (facts_.videoBitRate > kSuperVideoCdVideoRate)
      return refuse("video bit rate " + std::to_string(facts_.videoBitRate) +
                    " bit/s: a Super Video CD carries at most 2600000 bit/s of video");
    return {};
  }

  Status checkAudio() {
    if (kind_ == VideoDiscKind::VideoCd && !facts_.mpeg2Video && bitRate_ != 0x3FFFF)
      facts_.videoBitRate = bitRate_ * 400;
    const std::string disc = discName(kind_);
    if (facts_.audio) {
      const AudioFrameHeader& a = *facts_.audio;
      if (!a.mpeg1) return refuse("MPEG-2 low sampling rate audio: " + disc + " needs MPEG-1 Layer II audio");
      if (a.layer != 2)
        return refuse("audio layer " + std::string(a.layer == 1 ? "I" : "III") + ": " + disc +
                      " needs MPEG-1 Layer II audio");
      if (a.sampleRate != kDiscSampleRate)
        return refuse("audio sampled at " + std::to_string(a.sampleRate) + " Hz: " + disc + " needs 44100 Hz");
    } else if (audioSeen_) {
      return refuse("audio that is not MPEG audio: " + disc + " needs MPEG-1 Layer II audio");
    }
    if (kind_ == VideoDiscKind::SuperVideoCd) {
      const std::uint64_t total = std::uint64_t{facts_.videoBitRate} + (facts_.audio ? facts_.audio->bitRate : 0);
      if (total > kSuperVideoCdTotalRate)
        return refuse("video and audio at " + std::to_string(total) + " bit/s: a Super Video CD carries at most " +
                      std::to_string(kSuperVideoCdTotalRate) + " bit/s");
    }
    return {};
  }

  struct Pending {
    std::uint64_t packIndex;
    std::uint64_t offset;
    bool sequence;
  };

  std::string path_;
  VideoDiscKind kind_;
  MpegStreamFacts facts_;
  bool sequenceSeen_ = false;
  bool videoChecked_ = false;
  bool progressiveSequence_ = false;
  bool audioSeen_ = false;
  std::uint8_t frameRateCode_ = 0;
  std::uint32_t bitRate_ = 0;
  std::uint64_t fields_ = 0;
  std::uint64_t previousOffset_ = 0;
  std::optional<Pending> pending_;
};

}  // namespace

std::string frameRateText(FrameRate rate) {
  if (rate.denominator == 1) return std::to_string(rate.numerator);
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", rate.value());
  std::string s = text;
  while (!s.empty() && s.back() == '0') s.pop_back();
  if (!s.empty() && s.back() == '.') s.pop_back();
  return s;
}

Result<MpegStreamFacts> checkMpegStream(const std::string& path, VideoDiscKind kind) {
  return StreamCheck(path, kind).run();
}

}  // namespace emberline::video
