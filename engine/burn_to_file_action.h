#pragma once
// Writes an image into a file instead of onto a disc: the session's ISO 9660
// / Joliet file tree, or the DVD-Video disc of a VIDEO_TS folder. The target
// is the action list's Options.FileName.

#include <optional>

#include "engine/action.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

class TsbBurnToFileAction : public TsbAction {
 public:
  void Execute(TsbActionItem* item) override;

  /// Set for a DVD-Video image: the disc these options describe, made as a
  /// DVD-Video burn makes it. Unset, the image is the session's file tree.
  std::optional<TsbVideoBurnOptions> Video;
};

}  // namespace ondrelle
