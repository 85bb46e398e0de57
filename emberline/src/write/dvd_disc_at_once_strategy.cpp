#include "write/dvd_disc_at_once_strategy.h"

#include <algorithm>

#include "write/plan_checks.h"

namespace emberline::write {

namespace {
constexpr std::size_t kUserBlock = 2048;

// DVD blocks hold 2048 bytes of user data whatever the plan says about CD sectors.
std::size_t dvdBlockSize(SectorForm) {
  return kUserBlock;
}
}  // namespace

Status DvdDiscAtOnceStrategy::prepare(const DiscPlan& plan, const MediumState& medium) {
  plan_ = &plan;
  if (!medium.blank())
    return fail(ErrorKind::NotSupported, "disc at once needs a blank disc; the disc in the drive is not blank");
  if (plan.tracks.size() != 1)
    return fail(ErrorKind::NotSupported,
                "DVD-R disc at once records exactly one track, not " + std::to_string(plan.tracks.size()));
  EMBERLINE_TRY(checkMode1Only(plan, "DVD-R disc at once"));
  EMBERLINE_TRY(checkBlockSizes(plan, dvdBlockSize));
  EMBERLINE_TRY(checkBuiltFor(plan.tracks.front(), 0, medium.nextWritable));
  reserved_ = roundUpBlocks(plan.tracks.front().source->blockCount(), kDvdEccBlock);
  if (reserved_ > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the recording needs " + std::to_string(reserved_) +
                                             " blocks but the disc has " + std::to_string(medium.freeBlocks) + " free");
  next_ = medium.nextWritable;
  track_ = medium.nextTrack;
  return drive().selectParameters(
      [&](mmc::WriteParameters& p) {
        p.writeType = mmc::WriteType::SessionAtOnce;
        p.testWrite = plan.testMode;
        p.multiSession = multiSessionField(plan);
        p.trackMode = kDvdDataTrackMode;
        p.dataBlockType = dataBlockType(SectorForm::Mode1);
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
    sent = roundUpBlocks(blocks, kDvdEccBlock);
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
