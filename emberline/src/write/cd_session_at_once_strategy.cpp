#include "write/cd_session_at_once_strategy.h"

#include <algorithm>
#include <array>
#include <vector>

#include "mmc/cue_sheet.h"
#include "sector/cd_sector.h"
#include "write/plan_checks.h"

namespace emberline::write {

std::size_t CdSessionAtOnceStrategy::blockSizeOf(std::size_t index) const {
  return cueBlockSize(plan_->tracks[index].form);
}

Status CdSessionAtOnceStrategy::prepare(const DiscPlan& plan, const MediumState& medium) {
  plan_ = &plan;
  if (!medium.blank())
    return fail(ErrorKind::NotSupported,
                "session at once is recorded onto a blank CD; the disc in the drive is not blank");
  EMBERLINE_TRY(checkSessionFormat(plan));
  EMBERLINE_TRY(checkBlockSizes(plan, cueBlockSize));
  std::vector<sector::DataTrack> tracks;
  for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
    const PlannedTrack& t = plan.tracks[i];
    auto payload = static_cast<std::int32_t>(t.source->blockCount());
    if (t.sourceHoldsPregap) {
      if (!t.pregap || *t.pregap > payload)
        return fail(ErrorKind::InvalidArgument,
                    "track " + std::to_string(i + 1) + " (" + t.source->describe() + ") is shorter than its pregap");
      payload -= *t.pregap;
    }
    tracks.push_back({cueTrackMode(t.form), std::max(payload, sector::kMinimumTrackBlocks), t.pregap});
  }
  auto cue = placeCdTracks(plan, tracks);
  if (!cue.ok()) return fail(std::move(cue).error());
  cue_ = std::move(*cue);
  if (static_cast<std::uint32_t>(cue_.leadOutStart) > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the session needs " + std::to_string(cue_.leadOutStart) +
                                             " blocks but the disc has " + std::to_string(medium.freeBlocks) + " free");
  return drive().selectParameters(
      [&](mmc::WriteParameters& p) {
        p.writeType = mmc::WriteType::SessionAtOnce;
        p.testWrite = plan.testMode;
        p.multiSession = multiSessionField(plan);
        p.trackMode = kCdDataTrackMode;
        // The cue sheet decides each track's form; the page names the first one's.
        p.dataBlockType = dataBlockType(plan.tracks.front().form);
        p.sessionFormat = static_cast<std::uint8_t>(plan.sessionFormat);
      },
      plan.useBufferUnderrunProtection);
}

Status CdSessionAtOnceStrategy::start() {
  EMBERLINE_TRY(mmc::sendCueSheet(drive().transport(), cue_.sheet));
  next_ = cue_.tracks.front().pregapStart;
  return {};
}

Status CdSessionAtOnceStrategy::beginTrack(std::size_t index) {
  const sector::TrackPlacement& placement = cue_.tracks[index];
  started_ = true;
  const std::int32_t from = plan_->tracks[index].sourceHoldsPregap ? placement.pregapStart : placement.start;
  if (from > next_) EMBERLINE_TRY(writeGap(static_cast<std::uint32_t>(from - next_), index));
  return {};
}

Status CdSessionAtOnceStrategy::writeGap(std::uint32_t blocks, std::size_t index) {
  if (plan_->tracks[index].form != SectorForm::Mode2Raw) {
    EMBERLINE_TRY(drive().writeZeros(next_, blocks, blockSizeOf(index)));
    next_ += static_cast<std::int32_t>(blocks);
    return {};
  }
  constexpr std::uint32_t kChunk = 32;
  std::vector<std::uint8_t> sectors(std::size_t{kChunk} * sector::kRawSectorSize);
  const std::array<std::uint8_t, sector::kForm2DataSize> empty{};
  while (blocks > 0) {
    const std::uint32_t count = std::min(blocks, kChunk);
    for (std::uint32_t i = 0; i < count; ++i) {
      const auto raw =
          std::span(sectors).subspan(std::size_t{i} * sector::kRawSectorSize).first<sector::kRawSectorSize>();
      sector::encodeMode2Form2(next_ + static_cast<std::int32_t>(i), {0, 0, sector::submode::kForm2, 0}, empty, raw);
    }
    EMBERLINE_TRY(drive().write(next_, static_cast<std::uint16_t>(count),
                                std::span(sectors).first(std::size_t{count} * sector::kRawSectorSize)));
    next_ += static_cast<std::int32_t>(count);
    blocks -= count;
  }
  return {};
}

Status CdSessionAtOnceStrategy::writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) {
  EMBERLINE_TRY(drive().write(next_, static_cast<std::uint16_t>(blocks), data));
  next_ += static_cast<std::int32_t>(blocks);
  return {};
}

Status CdSessionAtOnceStrategy::endTrack(std::size_t index) {
  // Tracks shorter than four seconds were laid out at the minimum: fill the rest.
  const std::int32_t end = cue_.tracks[index].end();
  if (end > next_) EMBERLINE_TRY(writeGap(static_cast<std::uint32_t>(end - next_), index));
  next_ = end;
  return {};
}

Status CdSessionAtOnceStrategy::finish() {
  EMBERLINE_TRY(drive().flushCache());
  if (plan_->testMode) return drive().leaveTestMode();
  return {};
}

void CdSessionAtOnceStrategy::abort() {
  drive().abandonCdAtOnce(cue_.tracks.front().number, started_, plan_->testMode);
}

}  // namespace emberline::write
