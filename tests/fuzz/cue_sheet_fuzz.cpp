// Cue sheets of a session-at-once write. The first byte picks the way in:
//   even: 8-byte entries as a drive receives them, checked as before a write;
//   odd:  data tracks (mode, blocks, pregap) built into a cue sheet, which
//         must then pass that same check and place the tracks end to end.

#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_files.h"
#include "sector/cue_sheet.h"

using namespace emberline;
using namespace emberline::sector;

namespace {

void checkEntries(fuzz::InputReader& in) {
  CueSheet sheet;
  while (!in.empty()) {
    const auto e = in.take(kCueEntrySize);
    if (e.size() < kCueEntrySize) break;
    CueEntry entry;
    entry.control = e[0] >> 4;
    entry.adr = e[0] & 0x0F;
    entry.track = e[1];
    entry.index = e[2];
    entry.form = static_cast<DataForm>(e[3] & 0x3F);
    entry.cdText = (e[3] & 0x40) != 0;
    entry.serialCopyManagement = (e[4] & 0x80) != 0;
    entry.address = Msf{e[5], e[6], e[7]};
    sheet.entries.push_back(entry);
  }
  if (!validateCueSheet(sheet)) return;
  // A sheet that passes goes to the drive as it was read.
  if (sheet.encode().size() != sheet.entries.size() * kCueEntrySize) fuzz::broken("encoded sheet of another size");
  if (sheet.entries.front().track != kLeadInTrack || sheet.entries.back().track != kLeadOutTrack)
    fuzz::broken("a sheet without its lead-in and lead-out passed");
}

void buildTracks(fuzz::InputReader& in) {
  std::vector<DataTrack> tracks;
  while (!in.empty() && tracks.size() < 120) {
    const std::uint8_t flags = in.byte();
    DataTrack track;
    track.mode = static_cast<TrackMode>(flags % 3);
    track.blocks = static_cast<std::int32_t>(in.u32());
    if (flags & 0x80) track.pregap = static_cast<std::int32_t>(in.u32());
    tracks.push_back(track);
  }
  auto cue = buildDataDiscCue(tracks);
  if (!cue) return;
  if (!validateCueSheet(cue->sheet)) fuzz::broken("a built cue sheet fails the check");
  if (cue->tracks.size() != tracks.size()) fuzz::broken("tracks lost or added");
  std::int32_t end = -kPregapBlocks;
  for (std::size_t i = 0; i < cue->tracks.size(); ++i) {
    const TrackPlacement& t = cue->tracks[i];
    if (t.blocks != tracks[i].blocks || t.mode != tracks[i].mode) fuzz::broken("a track placed with other blocks");
    if (t.pregapStart < end || t.start < t.pregapStart) fuzz::broken("tracks overlap");
    end = t.end();
  }
  if (cue->leadOutStart != end) fuzz::broken("the lead-out is not where the last track ends");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::InputReader in({data, size});
  if (in.byte() % 2 == 0)
    checkEntries(in);
  else
    buildTracks(in);
  return 0;
}
