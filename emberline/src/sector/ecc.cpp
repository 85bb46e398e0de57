// The 2340 bytes from offset 12 are 1170 16-bit words; each word's two bytes
// belong to two independent byte planes, coded the same way. Seen as 26 rows
// of 43 words (86 bytes):
//  - P: each column of rows 0-23 is closed by rows 24 and 25, an RS(26,24)
//    code;
//  - Q: diagonal d takes, for m = 0..42, the word of column m in row
//    (m + d) mod 26, and is closed by 2 parity words, an RS(45,43) code that
//    also covers the P parity.
// The field is GF(2^8) modulo x^8+x^4+x^3+x^2+1 with primitive element 2.
//
// Speed: every codeword gets its weighted sum by Horner's rule, multiplying
// by the primitive element (a shift and a conditional 0x1D) between terms.
// That step is the same for every byte lane, so it runs on 16 lanes at a
// time (the compiler's vector types: SSE2 or NEON registers, plain words
// elsewhere): a P row is 86 contiguous lanes, and the Q words are gathered
// into 52 lanes (26 diagonals, 2 planes) per column. There is no per-byte
// branch, modulo or log/exp lookup on the way.

#include "sector/ecc.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

namespace emberline::sector {
namespace {

constexpr std::size_t kEccStart = 12;
constexpr std::size_t kColumns = 43;
constexpr std::size_t kRowBytes = 2 * kColumns;  // 86
constexpr std::size_t kPDataRows = 24;
constexpr std::size_t kRows = 26;                                          // data rows and the two P parity rows
constexpr std::size_t kPFirstOffset = kEccStart + kPDataRows * kRowBytes;  // 2076
constexpr std::size_t kPSecondOffset = kPFirstOffset + kRowBytes;          // 2162
constexpr std::size_t kQLanes = 2 * kRows;                                 // 52
constexpr std::size_t kQFirstOffset = kEccStart + kRows * kRowBytes;       // 2248
constexpr std::size_t kQSecondOffset = kQFirstOffset + kQLanes;            // 2300

using Word = std::uint8_t __attribute__((vector_size(16)));
using SignedWord = std::int8_t __attribute__((vector_size(16)));
constexpr std::size_t kLanes = sizeof(Word);

constexpr std::size_t kPWords = (kRowBytes + kLanes - 1) / kLanes;  // 6: 96 bytes, the last 10 lanes unused
constexpr std::size_t kQWords = (kQLanes + kLanes - 1) / kLanes;    // 4: 64 bytes, the last 12 lanes unused

/// Multiplies each byte lane by the primitive element: doubles it and folds
/// the carried-out bit back in as x^8 = x^4+x^3+x^2+1.
inline Word timesAlpha(Word x) {
  const Word carry = reinterpret_cast<Word>(reinterpret_cast<SignedWord>(x) < 0);
  return (x + x) ^ (carry & static_cast<std::uint8_t>(0x1D));
}

constexpr std::uint8_t gfMul(std::uint8_t a, std::uint8_t b) {
  unsigned r = 0, x = a;
  for (; b; b >>= 1) {
    if (b & 1u) r ^= x;
    x <<= 1;
    if (x & 0x100u) x ^= 0x11Du;
  }
  return static_cast<std::uint8_t>(r);
}

constexpr std::uint8_t gfInverse(std::uint8_t a) {
  for (unsigned b = 1; b < 256; ++b)
    if (gfMul(a, static_cast<std::uint8_t>(b)) == 1) return static_cast<std::uint8_t>(b);
  return 0;
}

// Both codes close a codeword with two symbols p0 (weight alpha) and p1
// (weight 1) so that the plain sum S and the weighted sum W vanish:
// p0 = (S ^ W) / (alpha + 1), p1 = S ^ p0.
constexpr std::uint8_t kInverseAlphaPlusOne = gfInverse(0x03);

/// Multiplies every lane by the constant c, one bit of c at a time.
template <std::uint8_t c>
inline Word timesConstant(Word x) {
  Word r{};
  [&]<std::size_t... K>(std::index_sequence<K...>) {
    ((r ^= ((c >> K) & 1u) ? x : Word{}, x = timesAlpha(x)), ...);
  }
  (std::make_index_sequence<8>());
  return r;
}

/// One Horner step on every lane: the sums stay in registers because the
/// step is spelled out per word rather than looped.
template <std::size_t kWords>
inline void hornerStep(std::array<Word, kWords>& plain, std::array<Word, kWords>& horner, const std::uint8_t* from) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    std::array<Word, kWords> v;
    std::memcpy(v.data(), from, sizeof v);
    ((plain[I] ^= v[I], horner[I] = timesAlpha(horner[I]) ^ v[I]), ...);
  }
  (std::make_index_sequence<kWords>());
}

/// Turns the plain and Horner sums of `lanes` codewords into their parity
/// symbols, stored at `first` and `second`. `horner` lacks the last two
/// multiplications by alpha (the parity positions' weights).
template <std::size_t kWords>
void storeParity(const std::array<Word, kWords>& plain, const std::array<Word, kWords>& horner, std::size_t lanes,
                 std::uint8_t* first, std::uint8_t* second) {
  std::array<Word, kWords> p0;
  std::array<Word, kWords> p1;
  for (std::size_t i = 0; i < kWords; ++i) {
    p0[i] = timesConstant<kInverseAlphaPlusOne>(plain[i] ^ timesAlpha(timesAlpha(horner[i])));
    p1[i] = plain[i] ^ p0[i];
  }
  std::memcpy(first, p0.data(), lanes);
  std::memcpy(second, p1.data(), lanes);
}

void writeP(std::span<std::uint8_t, kRawSectorSize> raw) {
  std::array<Word, kPWords> plain{};
  std::array<Word, kPWords> horner{};
  // The last row's read runs 10 bytes into the P parity: those lanes are unused.
  for (std::size_t row = 0; row < kPDataRows; ++row)
    hornerStep(plain, horner, raw.data() + kEccStart + row * kRowBytes);
  storeParity(plain, horner, kRowBytes, raw.data() + kPFirstOffset, raw.data() + kPSecondOffset);
}

// Word m of diagonal d lies in column m, row (m + d) mod 26.
constexpr std::size_t qSource(std::size_t m, std::size_t d) {
  return kEccStart + ((m + d) % kRows) * kRowBytes + 2 * m;
}
// Gathered, column m holds the 26 diagonals' words side by side: 52 lanes,
// packed. The vectors read 64 bytes per column, so their last 12 lanes see
// the next column's words; those lanes' results are never stored.
constexpr std::size_t kQColumnBytes = kQLanes;
constexpr std::size_t kQReadBytes = kQWords * kLanes;

// The gather is the transposition the diagonals need; spelled out word by
// word with fixed offsets, it costs a load and a store per word.
template <std::size_t m, std::size_t... D>
inline void gatherColumn(const std::uint8_t* raw, std::uint8_t* out, std::index_sequence<D...>) {
  (std::memcpy(out + m * kQColumnBytes + 2 * D, raw + qSource(m, D), 2), ...);
}
template <std::size_t... M>
void gatherDiagonals(const std::uint8_t* raw, std::uint8_t* out, std::index_sequence<M...>) {
  (gatherColumn<M>(raw, out, std::make_index_sequence<kRows>()), ...);
}

void writeQ(std::span<std::uint8_t, kRawSectorSize> raw) {
  // Only the overhang of the last column's read needs a value of its own:
  // clearing all of it would cost more than the gather.
  std::array<std::uint8_t, (kColumns - 1) * kQColumnBytes + kQReadBytes> columns;
  std::fill(columns.begin() + kColumns * kQColumnBytes, columns.end(), std::uint8_t{0});
  gatherDiagonals(raw.data(), columns.data(), std::make_index_sequence<kColumns>());
  std::array<Word, kQWords> plain{};
  std::array<Word, kQWords> horner{};
  for (std::size_t m = 0; m < kColumns; ++m) hornerStep(plain, horner, columns.data() + m * kQColumnBytes);
  storeParity(plain, horner, kQLanes, raw.data() + kQFirstOffset, raw.data() + kQSecondOffset);
}

}  // namespace

void writeEcc(std::span<std::uint8_t, kRawSectorSize> raw) {
  writeP(raw);
  writeQ(raw);
}

}  // namespace emberline::sector
