#pragma once
/// @file
/// The Super Video CD's track table (SVCD/TRACKS.SVD) and scan point table
/// (SVCD/SEARCH.DAT).

#include <cstdint>
#include <vector>

#include "core/msf.h"
#include "core/result.h"

namespace emberline::video {

/// What a Super Video CD track carries, as TRACKS.SVD records it.
struct SvcdTrack {
  Msf playingTime;                ///< the track's playing time, in 75ths of a second
  bool pal = false;               ///< 25 frame/s motion video, otherwise 29.97
  std::uint8_t audioStreams = 1;  ///< MPEG audio streams: 0, 1 or 2
};

/// TRACKS.SVD: identifier "TRACKSVD", version 1, the track count, each
/// track's playing time (BCD MSF), then one content byte per track, in one
/// zero-filled 2048-byte sector. Fails without tracks, with more than 98 or
/// with more than two audio streams in a track.
Result<std::vector<std::uint8_t>> encodeSvcdTracks(const std::vector<SvcdTrack>& tracks);

/// SEARCH.DAT: identifier "SEARCHSV", version 1, the count, the interval
/// (1 = half a second) and the absolute address of the I picture nearest to
/// each half second of the disc. Fails without points or with more than 65535.
Result<std::vector<std::uint8_t>> encodeSvcdSearch(const std::vector<Msf>& scanPoints);

}  // namespace emberline::video
