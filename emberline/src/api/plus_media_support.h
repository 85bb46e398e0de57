#pragma once
// Which DVD+ media a drive reads and writes, from its GET CONFIGURATION answer.

#include "mmc/configuration.h"

namespace emberline {

struct PlusMediaSupport {
  bool dvdPlusRRead = false;
  bool dvdPlusRwRead = false;
  bool dvdPlusRWrite = false;
  bool dvdPlusRwWrite = false;
  bool dvdPlusRDlRead = false;
  bool dvdPlusRDlWrite = false;
};

/// Reading follows the profile list (or the medium's feature); writing needs
/// the medium's feature with its Write bit set.
PlusMediaSupport plusMediaSupport(const mmc::Configuration& configuration);

}  // namespace emberline
