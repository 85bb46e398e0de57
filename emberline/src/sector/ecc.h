#pragma once
// Reed-Solomon product code (RSPC) of Mode 1 and Mode 2 Form 1 sectors.

#include <cstdint>
#include <span>

#include "sector/cd_sector.h"

namespace emberline::sector {

/// Fills the P parity (2076-2247) and then the Q parity (2248-2351) from
/// bytes 12-2075 as they stand. A Form 1 caller zeroes the header first.
void writeEcc(std::span<std::uint8_t, kRawSectorSize> raw);

}  // namespace emberline::sector
