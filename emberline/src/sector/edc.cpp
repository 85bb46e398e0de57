// The sector EDC. Table driven: a byte at a time is fast enough for whole
// discs, and the table is built at compile time so there is no start-up race.

#include <array>

#include "sector/cd_sector.h"

namespace emberline::sector {
namespace {

// (x^16+x^15+x^2+1)(x^16+x^2+x+1) = 0x8001801B; bits are taken LSB first, so
// the register runs with the bit-reversed polynomial.
constexpr std::uint32_t kReflectedPolynomial = 0xD8018001u;

constexpr std::array<std::uint32_t, 256> makeTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1u) ? (r >> 1) ^ kReflectedPolynomial : r >> 1;
    table[i] = r;
  }
  return table;
}

constexpr std::array<std::uint32_t, 256> kTable = makeTable();

}  // namespace

std::uint32_t edc(std::span<const std::uint8_t> bytes) {
  std::uint32_t r = 0;
  for (std::uint8_t b : bytes) r = (r >> 8) ^ kTable[(r ^ b) & 0xFFu];
  return r;
}

}  // namespace emberline::sector
