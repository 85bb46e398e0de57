// Which strategy records a plan on the inserted medium, and which
// combinations are refused before anything is written.

#include "write/cd_session_at_once_strategy.h"
#include "write/dvd_disc_at_once_strategy.h"
#include "write/incremental_strategy.h"
#include "write/plan_checks.h"
#include "write/raw_disc_at_once_strategy.h"
#include "write/write_strategy.h"

namespace emberline::write {

Result<std::unique_ptr<WriteStrategy>> chooseStrategy(const DiscPlan& plan, const MediumState& medium,
                                                      DriveSteps& drive) {
  if (plan.tracks.empty()) return fail(ErrorKind::InvalidArgument, "there is nothing to record");
  EMBERLINE_TRY(checkSessionFormat(plan));
  switch (plan.mode) {
    case RecordingMode::TrackAtOnce:
      // A blank DVD-R/-RW that is to be closed gets disc at once: one reserved
      // track, closed with the disc, as players read it best.
      if (medium.family == MediumFamily::DvdSequential && medium.blank() && plan.tracks.size() == 1 &&
          !plan.multiSession && plan.closeSession)
        return std::unique_ptr<WriteStrategy>(std::make_unique<DvdDiscAtOnceStrategy>(drive));
      return std::unique_ptr<WriteStrategy>(
          std::make_unique<IncrementalStrategy>(drive, IncrementalRules::forFamily(medium.family)));
    case RecordingMode::SessionAtOnce:
      if (medium.cd()) return std::unique_ptr<WriteStrategy>(std::make_unique<CdSessionAtOnceStrategy>(drive));
      if (medium.family == MediumFamily::DvdSequential)
        return std::unique_ptr<WriteStrategy>(std::make_unique<DvdDiscAtOnceStrategy>(drive));
      return fail(ErrorKind::NotSupported,
                  "session at once needs a CD or a DVD-R/-RW; this medium takes track at once only");
    case RecordingMode::RawPq:
    case RecordingMode::RawPw:
      if (!medium.cd())
        return fail(ErrorKind::NotSupported, "raw disc at once is a CD recording mode; the disc in the drive is a DVD");
      if (!medium.blank())
        return fail(ErrorKind::NotSupported, "disc at once needs a blank disc; the disc in the drive is not blank");
      return std::unique_ptr<WriteStrategy>(
          std::make_unique<RawDiscAtOnceStrategy>(drive, plan.mode == RecordingMode::RawPw));
  }
  return fail(ErrorKind::Internal, "unknown recording mode");
}

}  // namespace emberline::write
