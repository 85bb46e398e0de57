#include "write/incremental_strategy.h"

#include <algorithm>

namespace emberline::write {

namespace {
constexpr std::uint32_t kDvdEccBlock = 16;
constexpr std::size_t kUserBlock = 2048;

std::uint32_t roundUp(std::uint32_t blocks, std::uint32_t unit) {
  return (blocks + unit - 1) / unit * unit;
}
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
      rules.trackMode = 5;
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
  std::uint64_t needed = 0;
  for (const PlannedTrack& t : plan.tracks) {
    if (t.source->blockSize() != kUserBlock)
      return fail(ErrorKind::InvalidArgument, t.source->describe() + " does not hold 2048-byte sectors");
    needed += roundUp(t.source->blockCount(), rules_.alignBlocks);
  }
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
        p.multiSession = plan.multiSession ? mmc::MultiSession::NextSessionAllowed : mmc::MultiSession::NoNextSession;
        p.fixedPacket = false;
        p.packetSize = 0;
        p.linkSizeValid = false;
        p.trackMode = rules_.trackMode;
        p.dataBlockType = mmc::data_block::kMode1;
        p.sessionFormat = 0;
      },
      plan.useBufferUnderrunProtection);
}

Status IncrementalStrategy::writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) {
  std::uint32_t sent = blocks;
  if (blocks % rules_.alignBlocks != 0) {
    sent = roundUp(blocks, rules_.alignBlocks);
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
