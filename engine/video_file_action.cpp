#include "engine/video_file_action.h"

#include "engine/burner.h"
#include "engine/cancel_offered.h"
#include "engine/dvd_video_structure.h"
#include "engine/run_cancelled.h"
#include "engine/video_write_step.h"

namespace ondrelle {

TsbVideoFileAction::TsbVideoFileAction() {
  Stages = kDefaultStages;
}

void TsbVideoFileAction::Execute(TsbActionItem* item) {
  try {
    TsbStagedAction::Execute(item);
  } catch (const TsbRunCancelled& cancelled) {
    // Cancelled before a block was written: the disc is as it was.
    DoMessage(cancelled.Message(), TsbLogItemType::litInfo);
    return;
  }
  TsbBurner& b = Burner();
  bool recorded = false;
  {
    TsbCancelOffered cancel;
    DoStep(TsbBurnStep::Writing);
    // Kept until the read-back is done: the disc is compared with it.
    TsbDvdVideoStructure structure;
    const TsbStepMessage message = [this](const QString& text, TsbLogItemType kind) { DoMessage(text, kind); };
    recorded = WriteVideoDisc(b, Options, structure, message);
    if (recorded) VerifyStep();
  }
  // A cancelled burn is not reported as an error.
  if (b.Cancelled) b.LastMessage.clear();
  FinishBurn(RecordingOfVideoKind(Options.VideoKind), recorded);
}

}  // namespace ondrelle
