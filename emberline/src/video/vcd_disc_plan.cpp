#include "video/vcd_disc_plan.h"

#include "video/vcd_track_one.h"
#include "video/vcd_track_source.h"

namespace emberline::video {

Result<write::DiscPlan> vcdDiscPlan(const VcdDiscLayout& layout, const std::string& mpegPath) {
  auto trackOne = VcdTrackOneSource::build(layout);
  if (!trackOne) return fail(std::move(trackOne).error());
  auto trackTwo = VcdTrackSource::open(mpegPath, layout);
  if (!trackTwo) return fail(std::move(trackTwo).error());

  write::DiscPlan plan;
  plan.mode = write::RecordingMode::SessionAtOnce;
  plan.sessionFormat = write::SessionFormat::CdRomXa;
  write::PlannedTrack first;
  first.source = std::move(*trackOne);
  first.form = write::SectorForm::Mode2Raw;
  first.requiredStart = 0;
  plan.tracks.push_back(std::move(first));
  write::PlannedTrack second;
  second.source = std::move(*trackTwo);
  second.form = write::SectorForm::Mode2Raw;
  second.requiredStart = static_cast<std::int32_t>(layout.trackTwoLba);
  second.pregap = static_cast<std::int32_t>(layout.pregapSectors);
  second.sourceHoldsPregap = true;
  plan.tracks.push_back(std::move(second));
  return plan;
}

}  // namespace emberline::video
