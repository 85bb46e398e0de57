#pragma once
/// @file
/// Where a recording on a two-layer DVD+R moves from layer 0 to layer 1.

#include <cstdint>
#include <optional>
#include <vector>

#include "core/result.h"

namespace emberline::write {

/// What the choice of a layer break starts from; addresses are disc blocks.
struct LayerBreakQuestion {
  std::uint32_t start = 0;          ///< where the recording begins
  std::uint32_t blocks = 0;         ///< its length, padded as it is written
  std::uint32_t layer0Maximum = 0;  ///< the most layer 0 can hold
  /// Offsets from start at which the data may change layers; empty: any
  /// block will do (a data image), and the break goes to the half.
  std::vector<std::uint32_t> candidates;
};

/// The number of blocks layer 0 must hold, or nullopt when the recording
/// fits layer 0 as it is (recorded as on a single-layer disc). Layer 0 is
/// never shorter than layer 1, and ends on an ECC block boundary (a multiple
/// of 16 blocks), where drives put the break. Fails, before anything is
/// written, when no candidate lies where the break may go.
Result<std::optional<std::uint32_t>> chooseLayerBreak(const LayerBreakQuestion& question);

}  // namespace emberline::write
