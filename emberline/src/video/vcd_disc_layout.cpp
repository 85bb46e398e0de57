// Track 1 keeps the fixed map players rely on: volume descriptors from 16,
// the ISO structures below 75, 75-149 left empty, INFO at 150 and ENTRIES
// at 151, then (Super Video CD) TRACKS.SVD and SEARCH.DAT. The track is
// rounded up to whole seconds and to no less than the 300 sectors of the
// shortest track a recorder accepts. Track 2 follows with the 150-sector
// pregap; a Video CD puts 30 empty sectors before the packs and 45 after
// them so players can settle, a Super Video CD none.

#include "video/vcd_disc_layout.h"

#include <algorithm>
#include <cmath>

#include "video/svcd_search_files.h"

namespace emberline::video {
namespace {

constexpr std::uint32_t kInfoLba = 150;
constexpr std::uint32_t kSectorsPerSecond = 75;
constexpr std::uint32_t kShortestTrack = 300;
constexpr std::uint32_t kDataSectorSize = 2048;

std::uint32_t roundUp(std::uint32_t v, std::uint32_t unit) {
  return (v + unit - 1) / unit * unit;
}

std::uint32_t sectorsFor(std::size_t bytes) {
  return static_cast<std::uint32_t>((bytes + kDataSectorSize - 1) / kDataSectorSize);
}

VcdTrackSubheaders subheadersFor(VideoDiscKind kind) {
  using namespace sector::submode;
  constexpr std::uint8_t kStream = kRealTime | kForm2;
  // A Video CD has one audio stream; a Super Video CD's second stream (a
  // second language) is the second audio channel, which players select.
  if (kind == VideoDiscKind::VideoCd)
    return {{0, 0, kForm2, 0},
            {1, 0, kStream, 0},
            {1, 1, kStream | kVideo, 0x0F},
            {1, 1, kStream | kAudio, 0x7F},
            {1, 2, kStream | kAudio, 0x7F},
            {1, 0, kStream, 0}};
  return {{0, 0, kForm2, 0},
          {1, 0, kStream, 0},
          {1, 1, kStream | kVideo, 0x80},
          {1, 1, kStream | kAudio, 0x80},
          {1, 2, kStream | kAudio, 0x80},
          {1, 0, kStream, 0}};
}

}  // namespace

Result<VcdDiscLayout> planVcdDisc(const MpegStreamFacts& facts, const std::string& albumId, std::uint16_t volumeCount,
                                  std::uint16_t volumeNumber) {
  const bool vcd = facts.kind == VideoDiscKind::VideoCd;
  if (facts.packCount == 0 || facts.packCount > 400000)
    return fail(ErrorKind::InvalidArgument,
                "a stream of " + std::to_string(facts.packCount) + " packs cannot be laid out on a disc");
  const auto entry = std::find_if(facts.accessPoints.begin(), facts.accessPoints.end(),
                                  [](const MpegAccessPoint& a) { return a.sequenceHeader; });
  if (entry == facts.accessPoints.end())
    return fail(ErrorKind::InvalidArgument, "the stream has no sequence header to start playback at");

  VcdDiscLayout layout;
  layout.kind = facts.kind;
  layout.subheaders = subheadersFor(facts.kind);
  for (const MpegAudioStream& a : facts.audioStreams) layout.audioStreams.push_back(a.streamId);
  layout.packCount = static_cast<std::uint32_t>(facts.packCount);
  layout.frontMarginSectors = vcd ? 30 : 0;
  layout.rearMarginSectors = vcd ? 45 : 0;

  // Track 1's size depends on SEARCH.DAT, whose size depends only on the
  // stream's duration; track 2's addresses depend on track 1's size. Count
  // the search points first, place track 1, then fill in the addresses.
  const std::size_t searchPoints =
      vcd ? 0 : std::max<std::size_t>(1, static_cast<std::size_t>(std::ceil(facts.durationSeconds * 2.0)));
  const std::uint32_t searchLba = kInfoLba + 3;
  const std::uint32_t usedEnd = vcd ? kInfoLba + 2 : searchLba + sectorsFor(13 + 3 * searchPoints);
  layout.trackOneSectors = std::max(kShortestTrack, roundUp(usedEnd, kSectorsPerSecond));
  layout.pregapLba = layout.trackOneSectors;
  layout.trackTwoLba = layout.pregapLba + layout.pregapSectors;
  const std::uint32_t body = layout.frontMarginSectors + layout.packCount + layout.rearMarginSectors;
  layout.postgapSectors = std::max<std::uint32_t>(150, kShortestTrack > body ? kShortestTrack - body : 0);
  layout.leadOutLba = layout.trackTwoLba + body + layout.postgapSectors;

  const std::uint32_t firstPack = layout.firstPackLba();
  // The first entry is the start of the stream, so playing the entry plays
  // every pack; the first sequence header follows within a pack or two.
  layout.entries.push_back({2, Msf::fromLba(static_cast<std::int32_t>(firstPack))});
  if (!vcd) {
    // The I picture nearest to each half second.
    std::size_t next = 0;
    for (std::size_t k = 0; k < searchPoints; ++k) {
      const double t = 0.5 * static_cast<double>(k);
      while (next + 1 < facts.accessPoints.size() &&
             std::abs(facts.accessPoints[next + 1].seconds - t) <= std::abs(facts.accessPoints[next].seconds - t))
        ++next;
      const std::uint64_t pack = facts.accessPoints.empty() ? 0 : facts.accessPoints[next].packIndex;
      layout.scanPoints.push_back(Msf::fromLba(static_cast<std::int32_t>(firstPack + pack)));
    }
  }

  VcdDiscInfo info;
  info.kind = facts.kind;
  info.albumId = albumId;
  info.volumeCount = volumeCount;
  info.volumeNumber = volumeNumber;
  info.palTracks = {facts.frameRate == FrameRate{25, 1}};
  auto infoFile = encodeDiscInfo(info);
  if (!infoFile) return fail(std::move(infoFile).error());
  auto entriesFile = encodeEntries(facts.kind, layout.entries);
  if (!entriesFile) return fail(std::move(entriesFile).error());
  const std::string folder = vcd ? "VCD/" : "SVCD/";
  auto add = [&](std::string path, std::uint32_t lba, std::vector<std::uint8_t> bytes) {
    VcdFileExtent f;
    f.path = std::move(path);
    f.lba = lba;
    f.size = bytes.size();
    f.sectors = sectorsFor(bytes.size());
    f.contents = std::move(bytes);
    layout.files.push_back(std::move(f));
  };
  add(folder + (vcd ? "INFO.VCD" : "INFO.SVD"), kInfoLba,
      std::vector<std::uint8_t>(infoFile->begin(), infoFile->end()));
  add(folder + (vcd ? "ENTRIES.VCD" : "ENTRIES.SVD"), kInfoLba + 1,
      std::vector<std::uint8_t>(entriesFile->begin(), entriesFile->end()));
  if (!vcd) {
    // The playing time comes from the stream's own times, in 75ths of a
    // second, capped where the two BCD minute digits end.
    const auto length = static_cast<std::uint32_t>(
        std::min<long long>(std::llround(facts.playingSeconds * kSectorsPerSecond), 99 * 60 * 75 + 59 * 75 + 74));
    const Msf playing{static_cast<std::uint8_t>(length / (60 * 75)), static_cast<std::uint8_t>(length / 75 % 60),
                      static_cast<std::uint8_t>(length % 75)};
    auto tracks = encodeSvcdTracks({SvcdTrack{playing, facts.frameRate == FrameRate{25, 1},
                                              static_cast<std::uint8_t>(facts.audioStreams.size())}});
    if (!tracks) return fail(std::move(tracks).error());
    add("SVCD/TRACKS.SVD", kInfoLba + 2, std::move(tracks.value()));
    auto search = encodeSvcdSearch(layout.scanPoints);
    if (!search) return fail(std::move(search).error());
    add("SVCD/SEARCH.DAT", searchLba, std::move(search.value()));
  }

  VcdFileExtent mpeg;
  mpeg.path = vcd ? "MPEGAV/AVSEQ01.DAT" : "MPEG2/AVSEQ01.MPG";
  mpeg.lba = layout.trackTwoLba;
  mpeg.sectors = body;
  mpeg.size = std::uint64_t{body} * kDataSectorSize;
  mpeg.form2 = true;
  mpeg.xaFileNumber = vcd ? 1 : 0;
  layout.files.push_back(std::move(mpeg));
  return layout;
}

}  // namespace emberline::video
