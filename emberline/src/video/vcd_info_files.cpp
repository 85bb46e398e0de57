// INFO and ENTRIES share their header: an 8-byte identifier, the version
// (2 for Video CD 2.0, 1 for Super Video CD 1.0) and the system profile tag
// (0 for both). Neither disc uses playback control here, so the PSD size,
// first segment address, offset multiplier, list id and segment counts of
// the information file stay zero.

#include "video/vcd_info_files.h"

#include <algorithm>
#include <cstring>

namespace emberline::video {
namespace {

constexpr std::size_t kPalFlagsOffset = 30;
constexpr std::size_t kPalFlagsSize = 13;
constexpr std::size_t kMaxTracks = 98;

void putText(std::array<std::uint8_t, kInfoFileSize>& out, std::size_t at, const char* text) {
  std::memcpy(out.data() + at, text, std::strlen(text));
}
void putBe16(std::array<std::uint8_t, kInfoFileSize>& out, std::size_t at, std::uint16_t v) {
  out[at] = static_cast<std::uint8_t>(v >> 8);
  out[at + 1] = static_cast<std::uint8_t>(v);
}
std::uint8_t version(VideoDiscKind kind) {
  return kind == VideoDiscKind::VideoCd ? 2 : 1;
}

}  // namespace

Result<std::array<std::uint8_t, kInfoFileSize>> encodeDiscInfo(const VcdDiscInfo& info) {
  if (info.albumId.size() > kAlbumIdSize)
    return fail(ErrorKind::InvalidArgument, "the album id \"" + info.albumId + "\" is longer than 16 characters");
  if (!std::all_of(info.albumId.begin(), info.albumId.end(), [](char c) { return c >= 0x20 && c <= 0x7E; }))
    return fail(ErrorKind::InvalidArgument, "the album id \"" + info.albumId + "\" holds characters other than ASCII");
  if (info.palTracks.empty() || info.palTracks.size() > kMaxTracks)
    return fail(ErrorKind::InvalidArgument,
                "a disc holds 1 to 98 MPEG tracks, not " + std::to_string(info.palTracks.size()));
  if (info.volumeNumber < 1 || info.volumeNumber > info.volumeCount)
    return fail(ErrorKind::InvalidArgument, "disc " + std::to_string(info.volumeNumber) + " of " +
                                                std::to_string(info.volumeCount) + " is not a disc of the album");
  std::array<std::uint8_t, kInfoFileSize> out{};
  putText(out, 0, info.kind == VideoDiscKind::VideoCd ? "VIDEO_CD" : "SUPERVCD");
  out[8] = version(info.kind);
  out[9] = 0;
  std::fill_n(out.begin() + 10, kAlbumIdSize, ' ');
  std::memcpy(out.data() + 10, info.albumId.data(), info.albumId.size());
  putBe16(out, 26, info.volumeCount);
  putBe16(out, 28, info.volumeNumber);
  for (std::size_t i = 0; i < info.palTracks.size(); ++i)
    if (info.palTracks[i]) out[kPalFlagsOffset + i / 8] |= static_cast<std::uint8_t>(1u << (i % 8));
  static_assert(kPalFlagsOffset + kPalFlagsSize == 43);
  return out;
}

Result<std::array<std::uint8_t, kInfoFileSize>> encodeEntries(VideoDiscKind kind,
                                                              const std::vector<VcdEntryPoint>& entries) {
  if (entries.empty() || entries.size() > kMaxEntryPoints)
    return fail(ErrorKind::InvalidArgument,
                "an entry table holds 1 to 500 entry points, not " + std::to_string(entries.size()));
  std::array<std::uint8_t, kInfoFileSize> out{};
  putText(out, 0, "ENTRYVCD");
  out[8] = version(kind);
  putBe16(out, 10, static_cast<std::uint16_t>(entries.size()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const VcdEntryPoint& e = entries[i];
    if (e.track < 2 || e.track > 99)
      return fail(ErrorKind::InvalidArgument, "entry point " + std::to_string(i + 1) + " names track " +
                                                  std::to_string(e.track) + "; MPEG tracks are 2 to 99");
    if (i > 0 && (e.track < entries[i - 1].track || e.address.frames() < entries[i - 1].address.frames()))
      return fail(ErrorKind::InvalidArgument, "entry point " + std::to_string(i + 1) + " at " + e.address.toString() +
                                                  " comes before the one ahead of it");
    const std::size_t at = 12 + 4 * i;
    out[at] = toBcd(e.track);
    out[at + 1] = toBcd(e.address.minute);
    out[at + 2] = toBcd(e.address.second);
    out[at + 3] = toBcd(e.address.frame);
  }
  return out;
}

}  // namespace emberline::video
