#pragma once
// Writes the session's ISO 9660 / Joliet file tree into an image file
// instead of onto a disc. The target is the action list's Options.FileName.

#include "engine/action.h"

namespace ondrelle {

class TsbBurnToFileAction : public TsbAction {
 public:
  void Execute(TsbActionItem* item) override;
};

}  // namespace ondrelle
