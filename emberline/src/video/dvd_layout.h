#pragma once
/**
 * @file
 * Places a checked DVD-Video folder on the disc: every file at the sector its
 * information files give, padding in between where they leave room, and no
 * information file in the same 16-sector error-correction block as its backup.
 */

#include <cstdint>
#include <vector>

#include "core/result.h"
#include "video/dvd_folder.h"

namespace emberline::video {

/// Sectors one error-correction block of a DVD covers; one damaged block loses all of them.
inline constexpr std::uint32_t kDvdEccBlockSectors = 16;

struct DvdLayoutPlan {
  std::uint32_t firstSector = 0;          ///< where VIDEO_TS.IFO lands
  std::uint32_t endSector = 0;            ///< the first sector after the last title set
  std::vector<DvdFile> files;             ///< in disc order; `sector` is absolute here
  std::vector<std::uint32_t> cellStarts;  ///< absolute first sectors of the title cells: where a layer may break
  /// The information files themselves put an IFO and its backup so close that no start keeps them apart.
  bool backupSharesEccBlock = false;
};

/// Places `folder` with VIDEO_TS.IFO at `earliest` or, when that would put an IFO and its backup in one
/// error-correction block, at the first sector after it that keeps every pair apart.
Result<DvdLayoutPlan> planDvdLayout(const DvdFolder& folder, std::uint32_t earliest);

}  // namespace emberline::video
