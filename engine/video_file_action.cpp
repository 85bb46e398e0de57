#include "engine/video_file_action.h"

#include "engine/burner.h"
#include "engine/dvd_video_structure.h"
#include "engine/video_write_step.h"

namespace ondrelle {

TsbVideoFileAction::TsbVideoFileAction() {
  Stages = kDefaultStages;
}

void TsbVideoFileAction::Execute(TsbActionItem* item) {
  if (!RunStages(item)) return;
  TsbBurner& b = Burner();
  bool recorded = false;
  {
    // Kept until the read-back is done: the disc is compared with it.
    TsbDvdVideoStructure structure;
    const TsbStepMessage message = [this](const QString& text, TsbLogItemType kind) { DoMessage(text, kind); };
    recorded = WriteAndVerify([&] { return WriteVideoDisc(b, Options, structure, message); });
  }
  // A cancelled burn is not reported as an error.
  if (b.Cancelled) b.LastMessage.clear();
  FinishBurn(RecordingOfVideoKind(Options.VideoKind), recorded);
}

}  // namespace ondrelle
