#pragma once
// Building the session's file tree into its ISO9660/Joliet image, as a disc
// burn from a tree and an image file both begin: the boot image first when
// one is chosen, then the volume label's warnings, then the image itself.

#include <QString>
#include <cstdint>
#include <functional>

namespace ondrelle {

class TsbBurner;

/// What differs between the callers: where the image is recorded and the
/// library's ISO level for it, passed unchanged; and the boot image's log
/// line, spelled as each caller has always logged it.
struct TsbImageBuild {
  const char* bootLogLine;
  std::uint32_t startLba;
  std::uint32_t level;
};

/// Raises the failure of either library call (Emberline failure line kept
/// in `LastMessage`, logged). Each volume label warning is logged and
/// handed to `warn`.
void BuildSessionImage(TsbBurner& b, const TsbImageBuild& build, const std::function<void(const QString&)>& warn);

}  // namespace ondrelle
