#include "write/session_at_once_strategy.h"

#include <algorithm>

#include "mmc/cue_sheet.h"

namespace emberline::write {

namespace {
constexpr std::size_t kUserBlock = 2048;
constexpr std::uint32_t kDvdEccBlock = 16;

std::uint32_t roundUp(std::uint32_t blocks, std::uint32_t unit) {
  return (blocks + unit - 1) / unit * unit;
}

Status checkUserBlocks(const DiscPlan& plan) {
  for (std::size_t i = 0; i < plan.tracks.size(); ++i)
    if (plan.tracks[i].source->blockSize() != kUserBlock)
      return fail(ErrorKind::InvalidArgument, "track " + std::to_string(i + 1) + " (" +
                                                  plan.tracks[i].source->describe() +
                                                  ") does not hold 2048-byte sectors");
  return {};
}

Status checkBuiltFor(const PlannedTrack& track, std::size_t index, std::int32_t start) {
  if (!track.requiredStart || *track.requiredStart == start) return {};
  return fail(ErrorKind::InvalidArgument, "track " + std::to_string(index + 1) + ": the image was built for LBA " +
                                              std::to_string(*track.requiredStart) + " but the track starts at LBA " +
                                              std::to_string(start) + ": build it again at that address");
}

mmc::MultiSession sessionField(const DiscPlan& plan) {
  return plan.multiSession ? mmc::MultiSession::NextSessionAllowed : mmc::MultiSession::NoNextSession;
}
}  // namespace

Status sendDataDiscCue(ScsiTransport& transport, const sector::CueSheet& sheet) {
  std::vector<mmc::CueSheetEntry> entries;
  entries.reserve(sheet.entries.size());
  for (const sector::CueEntry& e : sheet.entries) {
    mmc::CueSheetEntry out;
    out.control = e.control;
    out.adr = e.adr;
    out.track = e.track;
    out.index = e.index;
    out.dataForm = static_cast<std::uint8_t>(static_cast<std::uint8_t>(e.form) | (e.cdText ? 0x40 : 0));
    out.scms = e.serialCopyManagement ? 0x80 : 0;
    out.address = e.address;
    entries.push_back(out);
  }
  return mmc::sendCueSheet(transport, entries);
}

Status CdSessionAtOnceStrategy::prepare(const DiscPlan& plan, const MediumState& medium) {
  plan_ = &plan;
  if (!medium.blank())
    return fail(ErrorKind::NotSupported,
                "session at once is recorded onto a blank CD; the disc in the drive is not blank");
  EMBERLINE_TRY(checkUserBlocks(plan));
  std::vector<sector::DataTrack> tracks;
  for (const PlannedTrack& t : plan.tracks)
    tracks.push_back(
        {sector::TrackMode::Mode1,
         std::max<std::int32_t>(static_cast<std::int32_t>(t.source->blockCount()), sector::kMinimumTrackBlocks)});
  auto cue = sector::buildDataDiscCue(tracks);
  if (!cue.ok()) return fail(std::move(cue).error());
  cue_ = std::move(*cue);
  for (std::size_t i = 0; i < plan.tracks.size(); ++i)
    EMBERLINE_TRY(checkBuiltFor(plan.tracks[i], i, cue_.tracks[i].start));
  if (static_cast<std::uint32_t>(cue_.leadOutStart) > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the session needs " + std::to_string(cue_.leadOutStart) +
                                             " blocks but the disc has " + std::to_string(medium.freeBlocks) + " free");
  return drive().selectParameters(
      [&](mmc::WriteParameters& p) {
        p.writeType = mmc::WriteType::SessionAtOnce;
        p.testWrite = plan.testMode;
        p.multiSession = sessionField(plan);
        p.trackMode = 4;
        p.dataBlockType = mmc::data_block::kMode1;
        p.sessionFormat = 0;
      },
      plan.useBufferUnderrunProtection);
}

Status CdSessionAtOnceStrategy::start() {
  EMBERLINE_TRY(sendDataDiscCue(drive().transport(), cue_.sheet));
  next_ = cue_.tracks.front().pregapStart;
  return {};
}

Status CdSessionAtOnceStrategy::beginTrack(std::size_t index) {
  const sector::TrackPlacement& placement = cue_.tracks[index];
  started_ = true;
  if (placement.start > next_)
    EMBERLINE_TRY(drive().writeZeros(next_, static_cast<std::uint32_t>(placement.start - next_), kUserBlock));
  next_ = placement.start;
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
  if (end > next_) EMBERLINE_TRY(drive().writeZeros(next_, static_cast<std::uint32_t>(end - next_), kUserBlock));
  next_ = end;
  return {};
}

Status CdSessionAtOnceStrategy::finish() {
  EMBERLINE_TRY(drive().flushCache());
  if (plan_->testMode) return drive().leaveTestMode();
  return {};
}

void CdSessionAtOnceStrategy::abort() {
  (void)drive().flushCache();
  if (started_ && !plan_->testMode) {
    (void)drive().closeIfOpen(mmc::CloseFunction::Track, cue_.tracks.front().number);
    (void)drive().closeIfOpen(mmc::CloseFunction::Session, 0);
  }
  if (plan_->testMode) (void)drive().leaveTestMode();
}

Status DvdDiscAtOnceStrategy::prepare(const DiscPlan& plan, const MediumState& medium) {
  plan_ = &plan;
  if (!medium.blank())
    return fail(ErrorKind::NotSupported, "disc at once needs a blank disc; the disc in the drive is not blank");
  if (plan.tracks.size() != 1)
    return fail(ErrorKind::NotSupported,
                "DVD-R disc at once records exactly one track, not " + std::to_string(plan.tracks.size()));
  EMBERLINE_TRY(checkUserBlocks(plan));
  EMBERLINE_TRY(checkBuiltFor(plan.tracks.front(), 0, medium.nextWritable));
  reserved_ = roundUp(plan.tracks.front().source->blockCount(), kDvdEccBlock);
  if (reserved_ > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the recording needs " + std::to_string(reserved_) +
                                             " blocks but the disc has " + std::to_string(medium.freeBlocks) + " free");
  next_ = medium.nextWritable;
  track_ = medium.nextTrack;
  return drive().selectParameters(
      [&](mmc::WriteParameters& p) {
        p.writeType = mmc::WriteType::SessionAtOnce;
        p.testWrite = plan.testMode;
        p.multiSession = sessionField(plan);
        p.trackMode = 5;
        p.dataBlockType = mmc::data_block::kMode1;
      },
      plan.useBufferUnderrunProtection);
}

Status DvdDiscAtOnceStrategy::start() {
  EMBERLINE_TRY(mmc::reserveTrack(drive().transport(), reserved_));
  started_ = true;
  return {};
}

Status DvdDiscAtOnceStrategy::writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) {
  std::uint32_t sent = blocks;
  if (blocks % kDvdEccBlock != 0) {
    sent = roundUp(blocks, kDvdEccBlock);
    padded_.assign(std::size_t{sent} * kUserBlock, 0);
    std::copy(data.begin(), data.end(), padded_.begin());
    data = padded_;
  }
  EMBERLINE_TRY(drive().write(next_, static_cast<std::uint16_t>(sent), data));
  next_ += static_cast<std::int32_t>(sent);
  return {};
}

Status DvdDiscAtOnceStrategy::closeAll() {
  EMBERLINE_TRY(drive().flushCache());
  // Most drives close a disc-at-once recording on the flush; those that wait for the host get the closes.
  EMBERLINE_TRY(drive().closeIfOpen(mmc::CloseFunction::Track, track_));
  return drive().closeIfOpen(mmc::CloseFunction::Session, 0);
}

Status DvdDiscAtOnceStrategy::finish() {
  if (plan_->testMode) {
    EMBERLINE_TRY(drive().flushCache());
    return drive().leaveTestMode();
  }
  return closeAll();
}

void DvdDiscAtOnceStrategy::abort() {
  if (started_ && !plan_->testMode)
    (void)closeAll();
  else
    (void)drive().flushCache();
  if (plan_->testMode) (void)drive().leaveTestMode();
}

}  // namespace emberline::write
