#pragma once
// Field offsets and small helpers shared by the sector layouts; internal.

#include <cstddef>
#include <cstdint>
#include <span>

#include "sector/cd_sector.h"

namespace emberline::sector {

constexpr std::size_t kMode1EdcOffset = 2064;
constexpr std::size_t kMode1ZeroOffset = 2068;  ///< 8 intermediate zero bytes
constexpr std::size_t kForm1DataOffset = 24;
constexpr std::size_t kForm1EdcOffset = 2072;
constexpr std::size_t kForm2EdcOffset = 2348;

bool hasSync(std::span<const std::uint8_t, kRawSectorSize> raw);
/// Writes the EDC of raw[from..at) little-endian at `at`.
void storeEdc(std::span<std::uint8_t, kRawSectorSize> raw, std::size_t from, std::size_t at);
std::uint32_t storedEdc(std::span<const std::uint8_t, kRawSectorSize> raw, std::size_t at);
/// Whether the EDC of raw[from..at) equals the one stored at `at`.
bool edcMatches(std::span<const std::uint8_t, kRawSectorSize> raw, std::size_t from, std::size_t at);

}  // namespace emberline::sector
