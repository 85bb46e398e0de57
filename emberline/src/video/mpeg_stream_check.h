#pragma once
/// @file
/// The check a Video CD or Super Video CD source passes before anything is
/// written: one streaming pass over the file that refuses what the disc kind
/// cannot carry, with a text naming what was found and what was expected,
/// and otherwise returns the facts the authoring needs.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "video/mpeg_stream_reader.h"
#include "video/mpeg_syntax.h"

namespace emberline::video {

enum class VideoDiscKind : std::uint8_t { VideoCd, SuperVideoCd };

/// User data of a Form 2 sector: the largest pack a disc sector can hold.
constexpr std::size_t kSectorPackSize = 2324;

/// A place where playback can start (a sequence header: an entry point) or
/// where a scan can land (a group of pictures).
struct MpegAccessPoint {
  std::uint64_t packIndex = 0;  ///< the pack, and so the sector of the MPEG track
  std::uint64_t offset = 0;     ///< file offset of that pack
  double seconds = 0;           ///< display time from the start of the stream
  bool sequenceHeader = false;  ///< decoding can start here without earlier headers
};

struct MpegStreamFacts {
  VideoDiscKind kind = VideoDiscKind::VideoCd;
  MpegSystem system = MpegSystem::Mpeg1;
  bool mpeg2Video = false;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  FrameRate frameRate;
  std::uint64_t pictures = 0;
  double durationSeconds = 0;  ///< from the pictures and their fields
  /// From the video's presentation times: the last minus the first, plus
  /// one frame (summed over the runs of a stream whose clock starts again).
  /// The durationSeconds when the video carries no times.
  double playingSeconds = 0;
  std::uint32_t muxRate = 0;              ///< bit/s, the highest any pack header gives
  std::uint32_t videoBitRate = 0;         ///< bit/s from the sequence header; 0 when marked variable
  std::optional<AudioFrameHeader> audio;  ///< the first audio stream's
  std::vector<MpegAudioStream> audioStreams;
  std::uint64_t packCount = 0;
  std::uint32_t largestPack = 0;
  /// Every pack is exactly one sector's worth, so the track reads back as the file.
  bool sectorSizedPacks = true;
  std::uint64_t fileSize = 0;
  std::vector<MpegAccessPoint> accessPoints;
};

/// Checks @p path as the source of a disc of @p kind. Fails with the first
/// fault found ("MPEG-2 stream given for a Video CD", "frame size 640x360: a
/// Video CD needs 352x240 or 352x288", "the stream ends inside a pack at byte
/// N", ...), prefixed with the path; a file that cannot be read fails with a
/// text naming it and the system's reason.
///
/// Beyond the kind's picture and mux limits it refuses audio the kind cannot
/// play (AC-3, LPCM or any other private stream audio, audio other than
/// MPEG-1 Layer II at 44.1 kHz, more audio streams than the kind carries),
/// a sequence header that does not agree with the first one, and damaged
/// clock references or timestamps, each with the byte where it was found.
///
/// @p cancelled, when given, is asked between packs; once it answers true the
/// check stops with an ErrorKind::Cancelled error.
Result<MpegStreamFacts> checkMpegStream(const std::string& path, VideoDiscKind kind,
                                        const std::function<bool()>& cancelled = {});
/// The same check over a stream in memory, named @p name in its texts.
Result<MpegStreamFacts> checkMpegStream(std::span<const std::uint8_t> bytes, const std::string& name,
                                        VideoDiscKind kind);

/// "29.97", "25", "23.976": a frame rate as the messages write it.
std::string frameRateText(FrameRate rate);

}  // namespace emberline::video
