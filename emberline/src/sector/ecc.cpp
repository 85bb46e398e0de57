// The 2340 bytes from offset 12 are 1170 16-bit words; each word's two bytes
// belong to two independent byte planes, coded the same way. Within a plane:
//  - P: 43 columns of 24 words (rows of 43), each closed by 2 parity words,
//    an RS(26,24) code;
//  - Q: 26 diagonals of 43 words, stepping 44 words (mod 1118) along the
//    diagonal and 43 words between diagonals, each closed by 2 parity words,
//    an RS(45,43) code that also covers the P parity.
// The field is GF(2^8) modulo x^8+x^4+x^3+x^2+1 with primitive element 2.

#include "sector/ecc.h"

#include <array>

namespace emberline::sector {
namespace {

constexpr std::size_t kEccStart = 12;
constexpr std::size_t kColumns = 43;       // P codewords per plane
constexpr std::size_t kPRows = 24;         // data words per P codeword
constexpr std::size_t kDiagonals = 26;     // Q codewords per plane
constexpr std::size_t kQLength = 43;       // data words per Q codeword
constexpr std::size_t kQSpan = kColumns * kDiagonals;  // 1118 words covered by Q
constexpr std::size_t kQParityWord = kQSpan;           // first Q parity word

struct GaloisTables {
  std::array<std::uint8_t, 512> exp{};
  std::array<std::uint8_t, 256> log{};
};

constexpr GaloisTables makeTables() {
  GaloisTables t;
  unsigned v = 1;
  for (unsigned i = 0; i < 255; ++i) {
    t.exp[i] = static_cast<std::uint8_t>(v);
    t.exp[i + 255] = static_cast<std::uint8_t>(v);
    t.log[v] = static_cast<std::uint8_t>(i);
    v <<= 1;
    if (v & 0x100u) v ^= 0x11Du;
  }
  return t;
}

constexpr GaloisTables kGf = makeTables();

constexpr std::uint8_t mul(std::uint8_t a, std::uint8_t b) {
  if (a == 0 || b == 0) return 0;
  return kGf.exp[kGf.log[a] + kGf.log[b]];
}

constexpr std::uint8_t alphaPower(unsigned n) { return kGf.exp[n % 255]; }

// 1 / (alpha + 1): solves the two parity symbols of a codeword whose check
// rows are all-ones and alpha^(n-1-i).
constexpr std::uint8_t kInverseAlphaPlusOne = kGf.exp[255 - kGf.log[0x03]];

// The two parity symbols p0 (weight alpha^1) and p1 (weight alpha^0) that make
// sum(v_i) = 0 and sum(alpha^(n-1-i) v_i) = 0, given the data sums.
struct ParityPair {
  std::uint8_t first;
  std::uint8_t second;
};
constexpr ParityPair solveParity(std::uint8_t plainSum, std::uint8_t weightedSum) {
  const auto first = mul(static_cast<std::uint8_t>(plainSum ^ weightedSum), kInverseAlphaPlusOne);
  return {first, static_cast<std::uint8_t>(plainSum ^ first)};
}

std::uint8_t& wordByte(std::span<std::uint8_t, kRawSectorSize> raw, std::size_t word, std::size_t plane) {
  return raw[kEccStart + 2 * word + plane];
}

void writeP(std::span<std::uint8_t, kRawSectorSize> raw) {
  constexpr unsigned kLength = kPRows + 2;
  for (std::size_t plane = 0; plane < 2; ++plane) {
    for (std::size_t column = 0; column < kColumns; ++column) {
      std::uint8_t plain = 0;
      std::uint8_t weighted = 0;
      for (std::size_t row = 0; row < kPRows; ++row) {
        const std::uint8_t v = wordByte(raw, row * kColumns + column, plane);
        plain ^= v;
        weighted ^= mul(alphaPower(kLength - 1 - static_cast<unsigned>(row)), v);
      }
      const auto parity = solveParity(plain, weighted);
      wordByte(raw, kPRows * kColumns + column, plane) = parity.first;
      wordByte(raw, (kPRows + 1) * kColumns + column, plane) = parity.second;
    }
  }
}

void writeQ(std::span<std::uint8_t, kRawSectorSize> raw) {
  constexpr unsigned kLength = kQLength + 2;
  for (std::size_t plane = 0; plane < 2; ++plane) {
    for (std::size_t diagonal = 0; diagonal < kDiagonals; ++diagonal) {
      std::uint8_t plain = 0;
      std::uint8_t weighted = 0;
      for (std::size_t m = 0; m < kQLength; ++m) {
        const std::size_t word = (44 * m + 43 * diagonal) % kQSpan;
        const std::uint8_t v = wordByte(raw, word, plane);
        plain ^= v;
        weighted ^= mul(alphaPower(kLength - 1 - static_cast<unsigned>(m)), v);
      }
      const auto parity = solveParity(plain, weighted);
      wordByte(raw, kQParityWord + diagonal, plane) = parity.first;
      wordByte(raw, kQParityWord + kDiagonals + diagonal, plane) = parity.second;
    }
  }
}

}  // namespace

void writeEcc(std::span<std::uint8_t, kRawSectorSize> raw) {
  writeP(raw);
  writeQ(raw);
}

}  // namespace emberline::sector
