#pragma once
// The video wizard's action: the preparation stages, then the write (Video
// CD, Super Video CD or DVD-Video by the options' kind), the read-back when
// asked for, then close and eject.

#include "engine/staged_action.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

class TsbVideoFileAction : public TsbStagedAction {
 public:
  TsbVideoFileAction();

  void Execute(TsbActionItem* item) override;

  /// Set by the disc type page (kind, fixed texts) and the wizard (source path).
  TsbVideoBurnOptions Options;
};

}  // namespace ondrelle
