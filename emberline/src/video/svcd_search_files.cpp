#include "video/svcd_search_files.h"

#include <cstring>

namespace emberline::video {
namespace {

void putBcdMsf(std::vector<std::uint8_t>& out, Msf m) {
  out.push_back(toBcd(m.minute));
  out.push_back(toBcd(m.second));
  out.push_back(toBcd(m.frame));
}

void putHeader(std::vector<std::uint8_t>& out, const char* id) {
  out.assign(id, id + std::strlen(id));
  out.push_back(1);  // version
  out.push_back(0);  // reserved
}

}  // namespace

Result<std::vector<std::uint8_t>> encodeSvcdTracks(const std::vector<SvcdTrack>& tracks) {
  if (tracks.empty() || tracks.size() > 98)
    return fail(ErrorKind::InvalidArgument, "a disc holds 1 to 98 MPEG tracks, not " + std::to_string(tracks.size()));
  std::vector<std::uint8_t> out;
  putHeader(out, "TRACKSVD");
  out.push_back(static_cast<std::uint8_t>(tracks.size()));
  for (const SvcdTrack& t : tracks) putBcdMsf(out, t.playingTime);
  // Content: bits 0-1 the audio streams (1 one, 2 two), bits 2-4 video
  // (3 NTSC motion, 7 PAL motion).
  for (const SvcdTrack& t : tracks) {
    if (t.audioStreams > 2)
      return fail(ErrorKind::InvalidArgument,
                  "a track carries at most two audio streams, not " + std::to_string(t.audioStreams));
    out.push_back(static_cast<std::uint8_t>(t.audioStreams | ((t.pal ? 7 : 3) << 2)));
  }
  out.resize(2048);  // readers expect the whole sector
  return out;
}

Result<std::vector<std::uint8_t>> encodeSvcdSearch(const std::vector<Msf>& scanPoints) {
  if (scanPoints.empty() || scanPoints.size() > 0xFFFF)
    return fail(ErrorKind::InvalidArgument,
                "a search table holds 1 to 65535 scan points, not " + std::to_string(scanPoints.size()));
  std::vector<std::uint8_t> out;
  putHeader(out, "SEARCHSV");
  out.push_back(static_cast<std::uint8_t>(scanPoints.size() >> 8));
  out.push_back(static_cast<std::uint8_t>(scanPoints.size()));
  out.push_back(1);  // interval: half a second
  for (Msf m : scanPoints) putBcdMsf(out, m);
  return out;
}

}  // namespace emberline::video
