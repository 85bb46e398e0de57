#pragma once
/// @file
/// The smallest readable ISO 9660 volume: system area, primary volume
/// descriptor, terminator, both path tables and an empty root directory.
/// Pre-recorded sessions of the virtual drive carry one, so readers see a
/// real volume with the configured label.

#include <cstdint>
#include <span>
#include <string_view>

namespace emberline::virt {

constexpr std::int32_t kIsoBlockSize = 2048;
/// Blocks the volume itself needs (0..20); a session may be longer.
constexpr std::int32_t kMinimalIsoBlocks = 21;

/// Fills block `index` (relative to the session start) of a volume placed at
/// `volumeStart` spanning `volumeBlocks` blocks. Blocks past the directory are zero.
void minimalIsoBlock(std::int32_t index, std::int32_t volumeStart, std::int32_t volumeBlocks, std::string_view label,
                     std::span<std::uint8_t, kIsoBlockSize> out);

}  // namespace emberline::virt
