#include "write/incremental_strategy.h"

#include <algorithm>

#include "mmc/dvd_structure.h"
#include "mmc/format_unit.h"
#include "write/layer_break.h"
#include "write/plan_checks.h"

namespace emberline::write {

namespace {
constexpr std::size_t kUserBlock = 2048;

/// Blocks the plan takes on the medium, each track padded as it is written.
std::uint64_t plannedBlocks(const DiscPlan& plan, std::uint32_t align) {
  std::uint64_t needed = 0;
  for (const PlannedTrack& t : plan.tracks) needed += roundUpBlocks(t.source->blockCount(), align);
  return needed;
}

/// On a two-layer disc whose boundary can still move, where layer 0 must end.
Result<std::optional<std::uint32_t>> layerBreakFor(DriveSteps& drive, const DiscPlan& plan, const MediumState& medium,
                                                   std::uint64_t needed) {
  if (medium.profile != profile::kDvdPlusRDualLayer) return std::optional<std::uint32_t>{};
  auto boundary = mmc::readLayerBoundary(drive.transport());
  if (!boundary.ok()) return fail(std::move(boundary).error());
  if (boundary->fixed) return std::optional<std::uint32_t>{};  // an earlier session settled it
  LayerBreakQuestion question;
  question.start = static_cast<std::uint32_t>(medium.nextWritable);
  question.blocks = static_cast<std::uint32_t>(needed);
  question.layer0Maximum = boundary->layer0Blocks;
  question.candidates = plan.tracks.front().layerBreakCandidates;
  return chooseLayerBreak(question);
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
      rules.trackMode = kDvdDataTrackMode;
      rules.alignBlocks = kDvdEccBlock;
      break;
    case MediumFamily::DvdPlusSequential:
      rules.mediumName = "DVD+R";
      rules.usesParametersPage = false;
      rules.canTestWrite = false;
      rules.alignBlocks = kDvdEccBlock;
      rules.finalizesDisc = true;
      break;
    default:
      rules.mediumName = "overwritable DVD";
      rules.usesParametersPage = false;
      rules.canTestWrite = false;
      rules.closesTracks = false;
      rules.alignBlocks = kDvdEccBlock;
      rules.formatsMedium = true;
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
  const std::uint64_t needed = plannedBlocks(plan, rules_.alignBlocks);
  const PlannedTrack& first = plan.tracks.front();
  if (first.requiredStart && *first.requiredStart != medium.nextWritable)
    return fail(ErrorKind::InvalidArgument, "the image was built for LBA " + std::to_string(*first.requiredStart) +
                                                " but the disc's next writable address is " +
                                                std::to_string(medium.nextWritable) +
                                                ": build it again at that address");
  if (medium.family != MediumFamily::RandomWritable && needed > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the recording needs " + std::to_string(needed) + " blocks but the disc has " +
                                             std::to_string(medium.freeBlocks) + " free");
  auto layerBreak = layerBreakFor(drive(), plan, medium, needed);
  if (!layerBreak.ok()) return fail(std::move(layerBreak).error());
  layerBreak_ = *layerBreak;
  // Only a DVD+RW that was never formatted (no background format ever started) needs one.
  format_ = rules_.formatsMedium && medium.profile == profile::kDvdPlusRw && medium.disc.backgroundFormatStatus == 0;
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

Status IncrementalStrategy::start() {
  if (format_) {
    // Background formatting: the drive takes writes while it formats the rest.
    EMBERLINE_TRY(mmc::formatDvdPlusRw(drive().transport(), true));
    EMBERLINE_TRY(drive().waitReady(false));
  }
  if (layerBreak_) EMBERLINE_TRY(mmc::sendLayerBoundary(drive().transport(), *layerBreak_));
  return {};
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
  if (rules_.finalizesDisc && !plan_->multiSession && plan_->closeSession) {
    // Players read a DVD+R only once it is finalized.
    EMBERLINE_TRY(drive().close(mmc::CloseFunction::Session, 0));
    return drive().close(mmc::CloseFunction::FinalizeDvdPlusR, 0);
  }
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
