#include "write/incremental_strategy.h"

#include <algorithm>

#include "write/plan_checks.h"

namespace emberline::write {

namespace {
constexpr std::size_t kUserBlock = 2048;
}  // namespace

IncrementalRules IncrementalRules::forFamily(MediumFamily family) {
  IncrementalRules rules;
  switch (family) {
    case MediumFamily::Cd:
      rules.mediumName = "CD";
      break;
    case MediumFamily::DvdSequential:
      rules.mediumName = "DVD-R";
      rules.writeType = mmc::WriteType::Packet;  // incremental: packet type with variable packets
      rules.trackMode = kDvdDataTrackMode;
      rules.alignBlocks = kDvdEccBlock;
      break;
    case MediumFamily::DvdPlusSequential:
      rules.mediumName = "DVD+R";
      rules.usesParametersPage = false;
      rules.canTestWrite = false;
      rules.alignBlocks = kDvdEccBlock;
      break;
    default:
      rules.mediumName = "overwritable DVD";
      rules.usesParametersPage = false;
      rules.canTestWrite = false;
      rules.closesTracks = false;
      rules.alignBlocks = kDvdEccBlock;
      break;
  }
  return rules;
}

Status IncrementalStrategy::prepare(const DiscPlan& plan, const MediumState& medium) {
  plan_ = &plan;
  if (plan.testMode && !rules_.canTestWrite)
    return fail(ErrorKind::NotSupported, rules_.mediumName + " media cannot be test-written");
  EMBERLINE_TRY(checkMode1Only(plan, "track at once on " + rules_.mediumName));
  EMBERLINE_TRY(checkBlockSizes(plan, pageBlockSize));
  std::uint64_t needed = 0;
  for (const PlannedTrack& t : plan.tracks) needed += roundUpBlocks(t.source->blockCount(), rules_.alignBlocks);
  const PlannedTrack& first = plan.tracks.front();
  if (first.requiredStart && *first.requiredStart != medium.nextWritable)
    return fail(ErrorKind::InvalidArgument, "the image was built for LBA " + std::to_string(*first.requiredStart) +
                                                " but the disc's next writable address is " +
                                                std::to_string(medium.nextWritable) +
                                                ": build it again at that address");
  if (medium.family != MediumFamily::RandomWritable && needed > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the recording needs " + std::to_string(needed) + " blocks but the disc has " +
                                             std::to_string(medium.freeBlocks) + " free");
  next_ = medium.nextWritable;
  track_ = medium.nextTrack;
  if (!rules_.usesParametersPage) return {};
  return drive().selectParameters(
      [&](mmc::WriteParameters& p) {
        p.writeType = rules_.writeType;
        p.testWrite = plan.testMode;
        p.multiSession = multiSessionField(plan);
        p.fixedPacket = false;
        p.packetSize = 0;
        p.linkSizeValid = false;
        p.trackMode = rules_.trackMode;
        p.dataBlockType = dataBlockType(plan.tracks.front().form);
        p.sessionFormat = static_cast<std::uint8_t>(plan.sessionFormat);
      },
      plan.useBufferUnderrunProtection);
}

Status IncrementalStrategy::writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) {
  std::uint32_t sent = blocks;
  if (blocks % rules_.alignBlocks != 0) {
    sent = roundUpBlocks(blocks, rules_.alignBlocks);
    padded_.assign(std::size_t{sent} * kUserBlock, 0);
    std::copy(data.begin(), data.end(), padded_.begin());
    data = padded_;
  }
  trackOpen_ = true;
  EMBERLINE_TRY(drive().write(next_, static_cast<std::uint16_t>(sent), data));
  anythingWritten_ = true;
  next_ += static_cast<std::int32_t>(sent);
  return {};
}

Status IncrementalStrategy::endTrack(std::size_t /*index*/) {
  EMBERLINE_TRY(drive().flushCache());
  if (rules_.closesTracks && plan_->closeTrack) {
    EMBERLINE_TRY(drive().close(mmc::CloseFunction::Track, track_));
    trackOpen_ = false;
  }
  ++track_;
  return {};
}

Status IncrementalStrategy::finish() {
  if (plan_->testMode && rules_.usesParametersPage) return drive().leaveTestMode();
  return {};
}

void IncrementalStrategy::abort() {
  (void)drive().flushCache();
  if (rules_.closesTracks && trackOpen_) (void)drive().close(mmc::CloseFunction::Track, track_);
  // An unclosed session leaves the disc unreadable in most players.
  if (rules_.closesTracks && anythingWritten_ && !plan_->testMode) (void)drive().close(mmc::CloseFunction::Session, 0);
  if (plan_->testMode && rules_.usesParametersPage) (void)drive().leaveTestMode();
}

}  // namespace emberline::write
