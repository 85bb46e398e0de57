#pragma once
// The general burning action for data discs: every preparation stage, then
// the write in the session's burning mode, the read-back when asked for,
// then close and eject.

#include "engine/staged_action.h"

namespace ondrelle {

class TsbBurnAtOnceToCDDVDAction : public TsbStagedAction {
 public:
  TsbBurnAtOnceToCDDVDAction() { Stages = kAllStages; }
  void Execute(TsbActionItem* item) override;

  /// For the from-file modes: make the list's source file the only track.
  bool PrepareTrackList = true;
};

}  // namespace ondrelle
