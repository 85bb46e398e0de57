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
  Msf playingTime;    ///< the track's length, as an MSF
  bool pal = false;   ///< 25 frame/s motion video, otherwise 29.97
  bool audio = true;  ///< one MPEG audio stream
};

/// TRACKS.SVD: identifier "TRACKSVD", version 1, the track count, each
/// track's playing time (BCD MSF), then one content byte per track, in one
/// zero-filled 2048-byte sector. Fails
/// without tracks or with more than 98.
Result<std::vector<std::uint8_t>> encodeSvcdTracks(const std::vector<SvcdTrack>& tracks);

/// SEARCH.DAT: identifier "SEARCHSV", version 1, the count, the interval
/// (1 = half a second) and the absolute address of the I picture nearest to
/// each half second of the disc. Fails without points or with more than 65535.
Result<std::vector<std::uint8_t>> encodeSvcdSearch(const std::vector<Msf>& scanPoints);

}  // namespace emberline::video
