#pragma once
// A plain sector encoder the fast one is compared with: bitwise EDC, and P and
// Q parity symbol by symbol in the codeword order the format defines. Slow
// on purpose; nothing here is shared with the library.

#include <array>
#include <cstdint>
#include <span>

#include "gf256_reference.h"

namespace emberline::sector::testing {

inline std::uint32_t referenceEdc(std::span<const std::uint8_t> bytes) {
  std::uint32_t r = 0;
  for (std::uint8_t b : bytes) {
    r ^= b;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1u) ? (r >> 1) ^ 0xD8018001u : r >> 1;
  }
  return r;
}

inline std::uint8_t alphaPower(unsigned n) {
  std::uint8_t v = 1;
  while (n--) v = gfMul(v, 2);
  return v;
}

// Closes a codeword: p0 (weight alpha) and p1 (weight 1) such that the sum
// and the alpha-weighted sum of the whole codeword are zero.
inline std::pair<std::uint8_t, std::uint8_t> closeCodeword(std::uint8_t plain, std::uint8_t weighted) {
  const std::uint8_t s = plain ^ weighted;
  for (unsigned p0 = 0; p0 < 256; ++p0)
    if (gfMul(static_cast<std::uint8_t>(p0), 3) == s) return {static_cast<std::uint8_t>(p0), plain ^ p0};
  return {0, 0};
}

/// Fills bytes 2076-2351 from bytes 12-2075.
inline void referenceEcc(std::span<std::uint8_t> raw) {
  auto at = [&](unsigned word, unsigned plane) -> std::uint8_t& { return raw[12 + 2 * word + plane]; };
  for (unsigned plane = 0; plane < 2; ++plane)
    for (unsigned column = 0; column < 43; ++column) {
      std::uint8_t plain = 0, weighted = 0;
      for (unsigned row = 0; row < 24; ++row) {
        const std::uint8_t v = at(row * 43 + column, plane);
        plain ^= v;
        weighted ^= gfMul(alphaPower(25 - row), v);
      }
      const auto [p0, p1] = closeCodeword(plain, weighted);
      at(24 * 43 + column, plane) = p0;
      at(25 * 43 + column, plane) = p1;
    }
  for (unsigned plane = 0; plane < 2; ++plane)
    for (unsigned diagonal = 0; diagonal < 26; ++diagonal) {
      std::uint8_t plain = 0, weighted = 0;
      for (unsigned m = 0; m < 43; ++m) {
        const std::uint8_t v = at((44 * m + 43 * diagonal) % 1118, plane);
        plain ^= v;
        weighted ^= gfMul(alphaPower(44 - m), v);
      }
      const auto [p0, p1] = closeCodeword(plain, weighted);
      at(1118 + diagonal, plane) = p0;
      at(1144 + diagonal, plane) = p1;
    }
}

inline void storeLe(std::span<std::uint8_t> raw, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) raw[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline void referenceSyncHeader(std::span<std::uint8_t> raw, std::int32_t lba, std::uint8_t mode) {
  raw[0] = 0;
  for (int i = 1; i < 11; ++i) raw[i] = 0xFF;
  raw[11] = 0;
  const std::int32_t frames = lba + 150;
  auto bcd = [](int v) { return static_cast<std::uint8_t>((v / 10) << 4 | (v % 10)); };
  raw[12] = bcd(frames / 4500);
  raw[13] = bcd(frames / 75 % 60);
  raw[14] = bcd(frames % 75);
  raw[15] = mode;
}

inline void referenceMode1(std::span<std::uint8_t> raw, std::int32_t lba, std::span<const std::uint8_t> user) {
  referenceSyncHeader(raw, lba, 1);
  std::copy(user.begin(), user.end(), raw.begin() + 16);
  storeLe(raw, 2064, referenceEdc(raw.first(2064)));
  std::fill(raw.begin() + 2068, raw.begin() + 2076, 0);
  referenceEcc(raw);
}

inline void referenceSubheader(std::span<std::uint8_t> raw, std::array<std::uint8_t, 4> subheader) {
  std::copy(subheader.begin(), subheader.end(), raw.begin() + 16);
  std::copy(subheader.begin(), subheader.end(), raw.begin() + 20);
}

inline void referenceForm1(std::span<std::uint8_t> raw, std::int32_t lba, std::array<std::uint8_t, 4> subheader,
                           std::span<const std::uint8_t> user) {
  referenceSyncHeader(raw, lba, 2);
  const std::array<std::uint8_t, 4> header{raw[12], raw[13], raw[14], raw[15]};
  referenceSubheader(raw, subheader);
  std::copy(user.begin(), user.end(), raw.begin() + 24);
  storeLe(raw, 2072, referenceEdc(raw.subspan(16, 2056)));
  std::fill(raw.begin() + 12, raw.begin() + 16, 0);
  referenceEcc(raw);
  std::copy(header.begin(), header.end(), raw.begin() + 12);
}

inline void referenceForm2(std::span<std::uint8_t> raw, std::int32_t lba, std::array<std::uint8_t, 4> subheader,
                           std::span<const std::uint8_t> user) {
  referenceSyncHeader(raw, lba, 2);
  referenceSubheader(raw, subheader);
  std::copy(user.begin(), user.end(), raw.begin() + 24);
  storeLe(raw, 2348, referenceEdc(raw.subspan(16, 2332)));
}

}  // namespace emberline::sector::testing
