#pragma once
/// @file
/// The two information files every Video CD and Super Video CD carries at
/// fixed sectors of track 1: the disc information (VCD/INFO.VCD,
/// SVCD/INFO.SVD) and the entry point table (VCD/ENTRIES.VCD,
/// SVCD/ENTRIES.SVD). Each encoder turns a small description into the
/// file's one sector; multi-byte numbers are big-endian, addresses BCD.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/msf.h"
#include "core/result.h"
#include "video/mpeg_stream_check.h"

namespace emberline::video {

constexpr std::size_t kInfoFileSize = 2048;
constexpr std::size_t kAlbumIdSize = 16;
constexpr std::size_t kMaxEntryPoints = 500;

/// A place playback can jump to: an MPEG track (2 for the first) and the
/// absolute disc address of its sector.
struct VcdEntryPoint {
  std::uint8_t track = 2;
  Msf address;
  friend constexpr bool operator==(VcdEntryPoint, VcdEntryPoint) = default;
};

struct VcdDiscInfo {
  VideoDiscKind kind = VideoDiscKind::VideoCd;
  /// Printable ASCII, at most 16 characters; padded with spaces.
  std::string albumId;
  std::uint16_t volumeCount = 1;
  std::uint16_t volumeNumber = 1;
  /// One flag per MPEG track, in track order: true for a 25 frame/s (PAL) track.
  std::vector<bool> palTracks;
};

/// INFO.VCD (Video CD 2.0) or INFO.SVD (Super Video CD 1.0), without
/// playback control. Fails when the album id is too long or not printable
/// ASCII, or there are no tracks or more than 98.
Result<std::array<std::uint8_t, kInfoFileSize>> encodeDiscInfo(const VcdDiscInfo& info);

/// ENTRIES.VCD or ENTRIES.SVD. Fails without entries, with more than 500,
/// with a track outside 2 to 99 or with entries out of disc order.
Result<std::array<std::uint8_t, kInfoFileSize>> encodeEntries(VideoDiscKind kind,
                                                              const std::vector<VcdEntryPoint>& entries);

}  // namespace emberline::video
