#pragma once
/// @file
/// Walks an MPEG-1 system stream or MPEG-2 program stream pack by pack:
/// pack headers in both forms, system headers, PES packets in both header
/// forms, and, through the elementary scanners, the video headers and the
/// first audio frame header. Memory stays bounded: one read window and the
/// bytes of the current pack.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "video/mpeg_elementary_scan.h"
#include "video/mpeg_file_input.h"
#include "video/mpeg_syntax.h"

namespace emberline::video {

/// A presentation (and decoding) time a packet carries, in 90 kHz units.
struct MpegTimestamp {
  std::uint8_t streamId = 0;
  std::uint64_t offset = 0;  ///< file offset of the packet's start code
  std::uint64_t pts = 0;
  std::optional<std::uint64_t> dts;
};

/// One audio stream of the program, in the order streams first appear.
struct MpegAudioStream {
  std::uint8_t streamId = 0;
  std::optional<AudioFrameHeader> header;  ///< its first frame header, once found
  std::uint64_t firstOffset = 0;           ///< file offset of its first packet
};

/// One pack: its header, what its packets carry and its bytes.
struct MpegPack {
  std::uint64_t index = 0;   ///< 0 for the first pack of the file
  std::uint64_t offset = 0;  ///< file offset of the pack start code
  PackHeader header;
  bool hasSystemHeader = false;
  /// What the system header describes: video streams, audio streams.
  bool systemHeaderVideo = false;
  bool systemHeaderAudio = false;
  bool hasVideo = false;  ///< a packet of the followed video stream
  bool hasAudio = false;  ///< a packet of any audio stream
  /// The audio stream of the pack's first audio packet (0 without one).
  std::uint8_t audioStream = 0;
  /// A private stream 1 packet: its sub-stream id (the payload's first byte)
  /// and the two bytes after it, which tell one kind of audio from another.
  std::optional<std::uint8_t> privateSubstream;
  std::array<std::uint8_t, 2> privateHead{};
  std::uint64_t privateOffset = 0;
  bool endsProgram = false;  ///< the program end code closes this pack
  /// Not a pack: a unit of zero bytes standing for an empty sector (only
  /// with a unit size; the header and flags are then all clear).
  bool empty = false;
  /// From the pack start code to the byte before the next pack (zero bytes
  /// and the end code included). Valid until the next read.
  std::span<const std::uint8_t> bytes;
  /// Video headers whose start code begins in this pack or, when split,
  /// ends in it (packIndex tells which).
  std::vector<MpegVideoEvent> videoEvents;
  /// The timestamps of the pack's packets, in stream order.
  std::vector<MpegTimestamp> timestamps;
};

class MpegStreamReader {
 public:
  /// A pack larger than this is refused rather than held.
  static constexpr std::size_t kMaxPackSize = 256 * 1024;

  /// With a @p unitSize (the sector payload of a disc), zero bytes after a
  /// pack only fill that pack up to the unit size; more zeros are returned as
  /// empty units of at most that size, as encoders write empty sectors.
  static Result<MpegStreamReader> open(const std::string& path, std::size_t unitSize = 0);
  /// The same over bytes in memory, named @p name in messages; the caller
  /// keeps @p bytes alive while the reader is used.
  static MpegStreamReader ofBytes(std::span<const std::uint8_t> bytes, const std::string& name,
                                  std::size_t unitSize = 0);

  const std::string& path() const { return input_.path(); }
  std::uint64_t fileSize() const { return input_.size(); }

  /// Reads the next pack into @p pack; false once the stream has ended.
  /// Fails with a text naming what was found: "the file is empty", "not an
  /// MPEG program stream", "the stream ends inside a pack at byte N", or a
  /// damaged stream with the byte where the damage was found (broken marker
  /// bits in a clock reference or timestamp among them).
  Result<bool> next(MpegPack& pack);

  /// The first audio frame header of the first audio stream, once a pack has carried it.
  std::optional<AudioFrameHeader> audioHeader() const;
  /// Every audio stream seen so far, with its first frame header.
  std::vector<MpegAudioStream> audioStreams() const;
  /// Bytes after the program end code that do not start another pack.
  std::uint64_t trailingBytes() const { return trailingBytes_; }

 private:
  MpegStreamReader(MpegFileInput input, std::size_t unitSize) : input_(std::move(input)), unitSize_(unitSize) {}
  void startPack(MpegPack& pack);
  /// How many zero bytes ahead are stuffing rather than a start code prefix.
  Result<std::size_t> stuffingAhead();
  Result<bool> readEmptyUnit(MpegPack& pack);
  /// Moves @p count available bytes into the current pack.
  Status take(std::size_t count);
  Unexpected truncated() const;
  /// Makes @p count bytes available or fails with the truncation text.
  Status require(std::size_t count);
  Status readPacket(MpegPack& pack, std::uint8_t streamId);

  MpegFileInput input_;
  std::size_t unitSize_ = 0;
  std::vector<std::uint8_t> packBytes_;
  MpegVideoScanner video_;
  /// One scanner per audio stream id (C0 to DF), and the ids in the order seen.
  std::array<MpegAudioScanner, 32> audio_;
  std::vector<std::pair<std::uint8_t, std::uint64_t>> audioSeen_;
  std::optional<std::uint8_t> videoStream_;
  std::uint64_t nextIndex_ = 0;
  std::uint64_t trailingBytes_ = 0;
  bool ended_ = false;
};

}  // namespace emberline::video
