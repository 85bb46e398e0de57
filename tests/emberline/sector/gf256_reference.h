#pragma once
// Slow, obviously-correct arithmetic the sector tests check the library
// against: bitwise GF(2^8) products and RS syndromes, bitwise CRC division.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace emberline::sector::testing {

/// Product in GF(2^8) modulo x^8+x^4+x^3+x^2+1, shift and add.
inline std::uint8_t gfMul(std::uint8_t a, std::uint8_t b) {
  unsigned r = 0, x = a;
  for (; b; b >>= 1) {
    if (b & 1) r ^= x;
    x <<= 1;
    if (x & 0x100) x ^= 0x11D;
  }
  return static_cast<std::uint8_t>(r);
}

/// c(x) = v0 x^(n-1) + ... + v(n-1), evaluated at `point` (Horner).
inline std::uint8_t evaluate(const std::vector<std::uint8_t>& codeword, std::uint8_t point) {
  std::uint8_t acc = 0;
  for (std::uint8_t v : codeword) acc = static_cast<std::uint8_t>(gfMul(acc, point) ^ v);
  return acc;
}

/// True when the codeword has roots 1 and alpha, as every P and Q codeword must.
inline bool isCodeword(const std::vector<std::uint8_t>& codeword) {
  return evaluate(codeword, 1) == 0 && evaluate(codeword, 2) == 0;
}

/// The P codeword of column `column` (0..42) of byte plane `plane` (0, 1).
inline std::vector<std::uint8_t> pCodeword(std::span<const std::uint8_t> raw, int column, int plane) {
  std::vector<std::uint8_t> v;
  for (int row = 0; row < 26; ++row) v.push_back(raw[12 + 2 * (row * 43 + column) + plane]);
  return v;
}

/// The Q codeword of diagonal `diagonal` (0..25) of byte plane `plane`.
inline std::vector<std::uint8_t> qCodeword(std::span<const std::uint8_t> raw, int diagonal, int plane) {
  std::vector<std::uint8_t> v;
  for (int m = 0; m < 43; ++m) v.push_back(raw[12 + 2 * ((44 * m + 43 * diagonal) % 1118) + plane]);
  v.push_back(raw[12 + 2 * (1118 + diagonal) + plane]);
  v.push_back(raw[12 + 2 * (1144 + diagonal) + plane]);
  return v;
}

/// Whether every P and Q codeword of bytes 12-2351 checks.
inline bool parityChecks(std::span<const std::uint8_t> raw) {
  for (int plane = 0; plane < 2; ++plane) {
    for (int c = 0; c < 43; ++c)
      if (!isCodeword(pCodeword(raw, c, plane))) return false;
    for (int d = 0; d < 26; ++d)
      if (!isCodeword(qCodeword(raw, d, plane))) return false;
  }
  return true;
}

/// Remainder of the bit stream (each byte LSB first, first bit highest
/// degree) divided by (x^16+x^15+x^2+1)(x^16+x^2+x+1).
inline std::uint64_t edcRemainder(std::span<const std::uint8_t> bytes) {
  constexpr std::uint64_t kPoly = 0x18001801BULL;
  std::uint64_t r = 0;
  for (std::uint8_t byte : bytes)
    for (int bit = 0; bit < 8; ++bit) {
      r = (r << 1) | ((byte >> bit) & 1u);
      if (r & (1ULL << 32)) r ^= kPoly;
    }
  return r;
}

}  // namespace emberline::sector::testing
