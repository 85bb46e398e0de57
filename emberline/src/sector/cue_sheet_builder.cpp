// Cue sheet of a single data session of Mode 1 or Mode 2 XA tracks.

#include <string>

#include "sector/cue_sheet.h"

namespace emberline::sector {
namespace {

// The last addressable frame is 99:59:74; the lead-out entry must fit too.
constexpr std::int32_t kLastLeadOutLba = 100 * kFramesPerMinute - 1 - kMsfOffset;

DataForm generatedForm(TrackMode mode) {  // the lead-in and lead-out are the drive's own
  return mode == TrackMode::Mode1 ? DataForm::Mode1Generated : DataForm::Mode2XaGenerated;
}

CueEntry entryAt(std::uint8_t track, std::uint8_t index, DataForm form, std::int32_t lba) {
  CueEntry e;
  e.control = control::kDataTrack;
  e.track = track;
  e.index = index;
  e.form = form;
  e.address = Msf::fromLba(lba);
  return e;
}

}  // namespace

DataForm hostDataForm(TrackMode mode) {
  switch (mode) {
    case TrackMode::Mode1:
      return DataForm::Mode1;
    case TrackMode::Mode2Xa:
      return DataForm::Mode2Xa;
    case TrackMode::Mode2XaRaw:
      return DataForm::Mode2XaRaw;
  }
  return DataForm::Mode1;
}

Result<DataDiscCue> buildDataDiscCue(std::span<const DataTrack> tracks) {
  if (tracks.empty()) return fail(ErrorKind::InvalidArgument, "a data disc needs at least one track");
  if (tracks.size() > 99) return fail(ErrorKind::InvalidArgument, "a disc holds at most 99 tracks");

  DataDiscCue out;
  out.sheet.entries.push_back(entryAt(kLeadInTrack, 0, generatedForm(tracks.front().mode), -kMsfOffset));

  // 64-bit so that a long list of huge tracks cannot overflow before the
  // length check below sees it.
  std::int64_t next = -kPregapBlocks;
  for (std::size_t i = 0; i < tracks.size(); ++i) {
    const DataTrack& t = tracks[i];
    const auto number = static_cast<std::uint8_t>(i + 1);
    if (t.blocks < kMinimumTrackBlocks)
      return fail(ErrorKind::InvalidArgument, "track " + std::to_string(number) + " has " + std::to_string(t.blocks) +
                                                  " blocks; a track needs at least 300 (4 seconds)");
    const std::int32_t pregapBlocks = t.pregap.value_or(i == 0 || t.mode != tracks[i - 1].mode ? kPregapBlocks : 0);
    if (i == 0 && pregapBlocks != kPregapBlocks)
      return fail(ErrorKind::InvalidArgument,
                  "the first track's pregap is 150 blocks, not " + std::to_string(pregapBlocks));
    if (pregapBlocks < 0 || pregapBlocks > kMinimumTrackBlocks * 10)
      return fail(ErrorKind::InvalidArgument,
                  "track " + std::to_string(number) + ": a pregap of " + std::to_string(pregapBlocks) + " blocks");
    const bool pregap = pregapBlocks > 0;
    const std::int64_t pregapStart = next;
    const std::int64_t start = next + pregapBlocks;
    next = start + t.blocks;
    if (next > kLastLeadOutLba)
      return fail(ErrorKind::InvalidArgument, "the disc layout runs past 99:59:74 at track " + std::to_string(number));

    TrackPlacement p;
    p.number = number;
    p.mode = t.mode;
    p.pregapStart = static_cast<std::int32_t>(pregapStart);
    p.start = static_cast<std::int32_t>(start);
    p.blocks = t.blocks;
    out.tracks.push_back(p);

    const DataForm form = hostDataForm(t.mode);
    if (pregap) out.sheet.entries.push_back(entryAt(number, 0, form, p.pregapStart));
    out.sheet.entries.push_back(entryAt(number, 1, form, p.start));
  }

  out.leadOutStart = static_cast<std::int32_t>(next);
  out.sheet.entries.push_back(entryAt(kLeadOutTrack, 1, generatedForm(tracks.back().mode), out.leadOutStart));
  EMBERLINE_TRY(validateCueSheet(out.sheet));
  return out;
}

}  // namespace emberline::sector
