// What each disc kind accepts, from the Video CD 2.0 and Super Video CD 1.0
// disc formats:
//   Video CD: MPEG-1 system stream, MPEG-1 video at 352x240 (29.97 or 23.976
//   frame/s) or 352x288 (25 frame/s), MPEG-1 Layer II audio at 44.1 kHz, a
//   mux rate of at most 1411200 bit/s.
//   Super Video CD: MPEG-2 program stream, MPEG-2 video at 480x480 or the
//   half width 352x480 (29.97 frame/s), 480x576 or 352x576 (25 frame/s), at
//   most 2.6 Mbit/s of video, MPEG-1 Layer II audio at 44.1 kHz, video and
//   audio together within twice the single-speed sector rate, up to two
//   audio streams (a second language), subtitles in private stream 1.
// Both: every pack fits the 2324 bytes of a Form 2 sector; the picture size
// and rate stay those of the first sequence header; clock references and
// timestamps are whole and possible, since players and rippers follow them.

#include "video/mpeg_stream_check.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "video/mpeg_stream_reader.h"

namespace emberline::video {
namespace {

constexpr std::uint32_t kVideoCdMuxRate = 1411200;                   // bit/s
constexpr std::uint32_t kSuperVideoCdVideoRate = 2600000;            // bit/s
constexpr std::uint32_t kSuperVideoCdTotalRate = 2 * 75 * 2324 * 8;  // bit/s at double speed
constexpr std::uint32_t kDiscSampleRate = 44100;
constexpr std::uint64_t kClock = 90000;  // timestamp units per second
constexpr std::uint64_t kClockWrap = std::uint64_t{1} << 33;
// How far a presentation time may lie from the clock of the pack that
// carries it: it cannot come before its data arrives (a little slack for
// rounding), nor further ahead than any decoder buffer holds.
constexpr std::int64_t kEarliestBeforeClock = kClock;
constexpr std::int64_t kLatestAfterClock = 10 * kClock;
// A video time this far behind the run so far (further than pictures are
// ever reordered) or this far ahead starts a new run: the stream's clock
// started again, as in two streams joined end to end.
constexpr std::uint64_t kRunBack = kClock / 2;
constexpr std::uint64_t kRunGap = 10 * kClock;

std::string discName(VideoDiscKind kind) {
  return kind == VideoDiscKind::VideoCd ? "a Video CD" : "a Super Video CD";
}

std::string at(std::uint64_t offset) {
  return " at byte " + std::to_string(offset);
}

// t - clock in the 33-bit circle, as a signed number.
std::int64_t clockDistance(std::uint64_t t, std::uint64_t clock) {
  const std::uint64_t d = (t - clock) & (kClockWrap - 1);
  return d >= kClockWrap / 2 ? static_cast<std::int64_t>(d) - static_cast<std::int64_t>(kClockWrap)
                             : static_cast<std::int64_t>(d);
}

// What a private stream 1 packet carries, by its sub-stream id and first bytes.
std::string privateStreamName(std::uint8_t substream, const std::array<std::uint8_t, 2>& head) {
  if (substream >= 0x80 && substream <= 0x87) return "AC-3 audio";
  if (substream >= 0x88 && substream <= 0x8F) return "DTS audio";
  if (substream >= 0xA0 && substream <= 0xA7) return "LPCM audio";
  if (substream >= 0x20 && substream <= 0x3F) return "DVD subpictures";
  // Without a sub-stream id the payload starts with the frame itself.
  if (substream == 0x0B && head[0] == 0x77) return "AC-3 audio";
  return "private stream data (sub-stream " + std::to_string(substream) + ")";
}

std::string sizeAndRate(std::uint16_t width, std::uint16_t height, std::uint8_t rateCode) {
  return std::to_string(width) + "x" + std::to_string(height) + " at " + frameRateText(frameRateOfCode(rateCode)) +
         " frame/s";
}

class StreamCheck {
 public:
  StreamCheck(const std::string& path, VideoDiscKind kind) : path_(path), kind_(kind) { facts_.kind = kind; }

  Result<MpegStreamFacts> run(MpegStreamReader& reader, const std::function<bool()>& cancelled = {}) {
    facts_.fileSize = reader.fileSize();
    MpegPack pack;
    for (;;) {
      if (cancelled && cancelled()) return fail(ErrorKind::Cancelled, path_ + ": the check was cancelled");
      auto more = reader.next(pack);
      if (!more) return refuse(more.error());
      if (!*more) break;
      EMBERLINE_TRY(onPack(pack));
    }
    if (!videoChecked_) EMBERLINE_TRY(checkVideo());
    facts_.audio = reader.audioHeader();
    facts_.audioStreams = reader.audioStreams();
    EMBERLINE_TRY(checkAudio());
    if (facts_.frameRate.numerator) facts_.durationSeconds = double(fields_) / (2.0 * facts_.frameRate.value());
    facts_.playingSeconds = facts_.durationSeconds;
    if (run_) {
      closeRun();
      facts_.playingSeconds = double(playedTicks_) / kClock;
    }
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
    if (!pack.empty && pack.header.muxRate == 0)
      return refuse("a mux rate of 0" + at(pack.offset) + ": the stream is damaged");
    if (pack.header.scrExtension > 299)
      return refuse("an impossible clock reference" + at(pack.offset) + ": the stream is damaged");
    ++facts_.packCount;
    audioSeen_ = audioSeen_ || pack.hasAudio;
    if (pack.privateSubstream) EMBERLINE_TRY(onPrivateStream(pack));
    for (const MpegTimestamp& t : pack.timestamps) EMBERLINE_TRY(onTimestamp(t, pack));
    for (const MpegVideoEvent& e : pack.videoEvents) EMBERLINE_TRY(onVideo(e, pack));
    if (pack.hasVideo) lastVideoPack_ = {pack.index, pack.offset};
    return {};
  }

  Status onPrivateStream(const MpegPack& pack) {
    // Super Video CD subtitles travel in sub-streams 0 to 3; nothing else in
    // a private stream is anything either disc plays.
    const std::uint8_t id = *pack.privateSubstream;
    if (kind_ == VideoDiscKind::SuperVideoCd && id <= 3) return {};
    const std::string found = privateStreamName(id, pack.privateHead);
    const bool audio = found.ends_with("audio");
    return refuse(found + " (a private stream)" + at(pack.privateOffset) + ": " + discName(kind_) +
                  (audio ? " needs MPEG-1 Layer II audio" : " carries no such stream"));
  }

  Status onTimestamp(const MpegTimestamp& t, const MpegPack& pack) {
    if (t.dts && clockDistance(t.pts, *t.dts) < 0)
      return refuse("a decoding time after its presentation time" + at(t.offset) + ": the stream is damaged");
    const std::int64_t ahead = clockDistance(t.pts, pack.header.scr);
    if (ahead < -kEarliestBeforeClock || ahead > kLatestAfterClock)
      return refuse("a presentation time " + std::to_string(ahead / std::int64_t{kClock}) +
                    " s away from the clock of its pack" + at(t.offset) + ": the stream is damaged");
    return {};
  }

  // Not every picture carries its time: one without takes it from the last
  // one with a time in its group, by their places in display order.
  void onPictureTime(const MpegVideoEvent& e) {
    const FrameRate rate = facts_.frameRate;
    if (e.pts) {
      anchor_ = Anchor{*e.pts, e.temporalReference};
    } else if (!anchor_ || rate.numerator == 0) {
      return;
    }
    const std::int64_t frames = std::int64_t{e.temporalReference} - anchor_->temporalReference;
    const std::int64_t ticks = frames * static_cast<std::int64_t>(kClock * rate.denominator) / rate.numerator;
    onVideoTime((anchor_->pts + static_cast<std::uint64_t>(ticks)) & (kClockWrap - 1));
  }

  // Presentation order differs from stream order (B pictures), so a run
  // keeps its lowest and highest time; a jump back or far ahead starts the
  // next run.
  void onVideoTime(std::uint64_t pts) {
    if (run_ && (pts + kRunBack < run_->high || pts > run_->high + kRunGap)) closeRun();
    if (!run_) {
      run_ = Run{pts, pts};
      return;
    }
    run_->low = std::min(run_->low, pts);
    run_->high = std::max(run_->high, pts);
  }

  void closeRun() {
    const FrameRate rate = facts_.frameRate;
    const std::uint64_t frame = rate.numerator ? kClock * rate.denominator / rate.numerator : 0;
    playedTicks_ += run_->high - run_->low + frame;
    run_.reset();
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
        } else if (e.sequence.width != facts_.width % 4096 || e.sequence.height != facts_.height % 4096 ||
                   e.sequence.frameRateCode != frameRateCode_)
          return refuse("the picture changes from " + sizeAndRate(facts_.width, facts_.height, frameRateCode_) +
                        " to " + sizeAndRate(e.sequence.width, e.sequence.height, e.sequence.frameRateCode) +
                        at(offsetOf(e, pack)) + ": " + discName(kind_) +
                        " track keeps the size and rate it starts with");
        if (!pending_) pending_ = Pending{e.packIndex, offsetOf(e, pack), true};
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
        anchor_.reset();  // display order counts from each group's start
        if (!pending_) pending_ = Pending{e.packIndex, offsetOf(e, pack), false};
        break;
      case Kind::Picture:
        if (!videoChecked_) EMBERLINE_TRY(checkVideo());
        if (pending_) {
          const double seconds = facts_.frameRate.numerator ? double(fields_) / (2.0 * facts_.frameRate.value()) : 0;
          facts_.accessPoints.push_back({pending_->packIndex, pending_->offset, seconds, pending_->sequence});
          pending_.reset();
        }
        onPictureTime(e);
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

  // A header whose start code began in an earlier pack began in the last one with video.
  std::uint64_t offsetOf(const MpegVideoEvent& e, const MpegPack& pack) const {
    return e.packIndex == pack.index ? pack.offset : lastVideoPack_.second;
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
    const std::size_t most = kind_ == VideoDiscKind::VideoCd ? 1 : 2;
    const auto& streams = facts_.audioStreams;
    if (streams.size() > most)
      return refuse(std::to_string(streams.size()) + " audio streams: " + disc + " carries " +
                    (most == 1 ? "one" : "at most two"));
    std::uint64_t audioRate = 0;
    for (std::size_t i = 0; i < streams.size(); ++i) {
      const std::string which = i == 0 ? "" : "second audio stream" + at(streams[i].firstOffset) + ": ";
      if (!streams[i].header)
        return refuse(which + "audio that is not MPEG audio: " + disc + " needs MPEG-1 Layer II audio");
      const AudioFrameHeader& a = *streams[i].header;
      if (!a.mpeg1) return refuse(which + "MPEG-2 low sampling rate audio: " + disc + " needs MPEG-1 Layer II audio");
      if (a.layer != 2)
        return refuse(which + "audio layer " + std::string(a.layer == 1 ? "I" : "III") + ": " + disc +
                      " needs MPEG-1 Layer II audio");
      if (a.sampleRate != kDiscSampleRate)
        return refuse(which + "audio sampled at " + std::to_string(a.sampleRate) + " Hz: " + disc + " needs 44100 Hz");
      if (a.bitRate == 0) return refuse(which + "free-format audio: " + disc + " needs a standard Layer II bit rate");
      audioRate += a.bitRate;
    }
    if (streams.empty() && audioSeen_)
      return refuse("audio that is not MPEG audio: " + disc + " needs MPEG-1 Layer II audio");
    if (kind_ == VideoDiscKind::SuperVideoCd) {
      const std::uint64_t total = std::uint64_t{facts_.videoBitRate} + audioRate;
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
  std::pair<std::uint64_t, std::uint64_t> lastVideoPack_{0, 0};  ///< index and offset
  std::optional<Pending> pending_;
  struct Run {
    std::uint64_t low, high;
  };
  std::optional<Run> run_;
  struct Anchor {
    std::uint64_t pts;
    std::uint16_t temporalReference;
  };
  std::optional<Anchor> anchor_;
  std::uint64_t playedTicks_ = 0;
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

Result<MpegStreamFacts> checkMpegStream(const std::string& path, VideoDiscKind kind,
                                        const std::function<bool()>& cancelled) {
  auto reader = MpegStreamReader::open(path, kSectorPackSize);
  if (!reader) return fail(std::move(reader).error());
  return StreamCheck(path, kind).run(*reader, cancelled);
}

Result<MpegStreamFacts> checkMpegStream(std::span<const std::uint8_t> bytes, const std::string& name,
                                        VideoDiscKind kind) {
  auto reader = MpegStreamReader::ofBytes(bytes, name, kSectorPackSize);
  return StreamCheck(name, kind).run(reader);
}

}  // namespace emberline::video
