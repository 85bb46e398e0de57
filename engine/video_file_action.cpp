#include "engine/video_file_action.h"

#include "engine/burner.h"
#include "engine/tsb_error.h"

namespace ondrelle {

// Placeholder until the video burn thread lands: refuse rather than report a burn.
void TsbVideoFileAction::Execute(TsbActionItem* item) {
  TsbStagedAction::Execute(item);
  Burner().LastMessage = QStringLiteral("Video burning is not available yet");
  throw TsbError(Burner().LastMessage);
}

}  // namespace ondrelle
