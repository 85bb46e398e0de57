#include "write/plan_checks.h"

#include <string>

namespace emberline::write {

Status checkBlockSizes(const DiscPlan& plan, std::size_t (*sizeOf)(SectorForm)) {
  for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
    const PlannedTrack& track = plan.tracks[i];
    const std::size_t expected = sizeOf(track.form);
    if (track.source->blockSize() != expected)
      return fail(ErrorKind::InvalidArgument, "track " + std::to_string(i + 1) + " (" + track.source->describe() +
                                                  ") does not hold " + std::to_string(expected) + "-byte sectors");
  }
  return {};
}

Status checkBuiltFor(const PlannedTrack& track, std::size_t index, std::int32_t start) {
  if (!track.requiredStart || *track.requiredStart == start) return {};
  return fail(ErrorKind::InvalidArgument, "track " + std::to_string(index + 1) + ": the image was built for LBA " +
                                              std::to_string(*track.requiredStart) + " but the track starts at LBA " +
                                              std::to_string(start) + ": build it again at that address");
}

Result<sector::DataDiscCue> placeCdTracks(const DiscPlan& plan, std::span<const sector::DataTrack> tracks) {
  auto cue = sector::buildDataDiscCue(tracks);
  if (!cue.ok()) return fail(std::move(cue).error());
  for (std::size_t i = 0; i < plan.tracks.size(); ++i)
    EMBERLINE_TRY(checkBuiltFor(plan.tracks[i], i, cue->tracks[i].start));
  return cue;
}

Status checkSessionFormat(const DiscPlan& plan) {
  for (std::size_t i = 0; i < plan.tracks.size(); ++i)
    if (isXa(plan.tracks[i].form) && plan.sessionFormat != SessionFormat::CdRomXa)
      return fail(ErrorKind::InvalidArgument, "track " + std::to_string(i + 1) +
                                                  " is a CD-ROM XA track, but the session is not a CD-ROM XA session");
  return {};
}

Status checkMode1Only(const DiscPlan& plan, std::string_view recording) {
  for (std::size_t i = 0; i < plan.tracks.size(); ++i)
    if (plan.tracks[i].form != SectorForm::Mode1)
      return fail(ErrorKind::NotSupported, "track " + std::to_string(i + 1) + " is a CD-ROM XA track; " +
                                               std::string(recording) + " records Mode 1 tracks only");
  return {};
}

mmc::MultiSession multiSessionField(const DiscPlan& plan) {
  return plan.multiSession ? mmc::MultiSession::NextSessionAllowed : mmc::MultiSession::NoNextSession;
}

}  // namespace emberline::write
