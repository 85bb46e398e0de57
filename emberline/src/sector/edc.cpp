// The sector EDC. Where the processor multiplies carry-less (x86-64 with
// PCLMULQDQ), the message is folded 64 bytes at a time: a 128-bit piece
// followed by n more bits is worth piece * (x^n mod P), which two products
// give, so four running remainders absorb the data with no table at all.
// Elsewhere, and for the last bytes, eight bytes per step ("slicing"):
// table k holds the CRC of a byte followed by k zero bytes, so eight lookups
// advance the register over eight bytes at once with no dependency between
// them. All tables and constants are built at compile time, so there is no
// start-up race.

#include <array>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define EMBERLINE_EDC_CLMUL 1
#include <immintrin.h>
#endif

#include "sector/cd_sector.h"

namespace emberline::sector {
namespace {

// (x^16+x^15+x^2+1)(x^16+x^2+x+1) = 0x8001801B; bits are taken LSB first, so
// the register runs with the bit-reversed polynomial.
constexpr std::uint32_t kReflectedPolynomial = 0xD8018001u;
constexpr std::size_t kSlices = 8;

using Tables = std::array<std::array<std::uint32_t, 256>, kSlices>;

constexpr Tables makeTables() {
  Tables t{};
  for (std::uint32_t i = 0; i < 256; ++i) {
    std::uint32_t r = i;
    for (int bit = 0; bit < 8; ++bit) r = (r & 1u) ? (r >> 1) ^ kReflectedPolynomial : r >> 1;
    t[0][i] = r;
  }
  for (std::size_t k = 1; k < kSlices; ++k)
    for (std::size_t i = 0; i < 256; ++i) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFFu];
  return t;
}

constexpr Tables kTables = makeTables();

// Little-endian load whatever the host's order, without alignment demands.
std::uint32_t load32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint32_t sliced(std::uint32_t r, const std::uint8_t* p, std::size_t n) {
  for (; n >= kSlices; n -= kSlices, p += kSlices) {
    const std::uint32_t low = r ^ load32(p);
    const std::uint32_t high = load32(p + 4);
    r = kTables[7][low & 0xFFu] ^ kTables[6][(low >> 8) & 0xFFu] ^ kTables[5][(low >> 16) & 0xFFu] ^
        kTables[4][low >> 24] ^ kTables[3][high & 0xFFu] ^ kTables[2][(high >> 8) & 0xFFu] ^
        kTables[1][(high >> 16) & 0xFFu] ^ kTables[0][high >> 24];
  }
  for (; n > 0; --n, ++p) r = (r >> 8) ^ kTables[0][(r ^ *p) & 0xFFu];
  return r;
}

#ifdef EMBERLINE_EDC_CLMUL

// Bytes are taken least significant bit first, so a 64-bit lane read
// little-endian holds x^63 in bit 0: the bit-reversed order. The product of
// two such lanes comes out one degree short of that order in 128 bits, which
// the constants make up for: x^(n-1) mod P where x^n is wanted.
constexpr std::uint64_t kPolynomial = 0x8001801Bu;  // without its x^32 term

constexpr std::uint64_t reflectedPowerModP(unsigned n) {
  std::uint64_t r = 1;  // x^0
  for (unsigned i = 0; i < n; ++i) {
    r <<= 1;
    if (r & (std::uint64_t{1} << 32)) r ^= (std::uint64_t{1} << 32) | kPolynomial;
  }
  std::uint64_t reflected = 0;
  for (unsigned d = 0; d < 32; ++d)
    if (r & (std::uint64_t{1} << d)) reflected |= std::uint64_t{1} << (63 - d);
  return reflected;
}

// A piece's first 64 bits are worth x^64 more than its last 64 bits.
struct FoldConstants {
  std::uint64_t first;
  std::uint64_t last;
};
constexpr FoldConstants foldBy(unsigned bits) {
  return {reflectedPowerModP(bits + 64 - 1), reflectedPowerModP(bits - 1)};
}
constexpr FoldConstants kFold128 = foldBy(128);
constexpr FoldConstants kFold512 = foldBy(512);

__attribute__((target("pclmul,sse2"))) __m128i fold(__m128i piece, __m128i constants, __m128i next) {
  const __m128i first = _mm_clmulepi64_si128(piece, constants, 0x00);
  const __m128i last = _mm_clmulepi64_si128(piece, constants, 0x11);
  return _mm_xor_si128(_mm_xor_si128(first, last), next);
}

__attribute__((target("pclmul,sse2"))) __m128i load(const std::uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

/// EDC of n >= 64 bytes, starting from a zero register.
__attribute__((target("pclmul,sse2"))) std::uint32_t folded(const std::uint8_t* p, std::size_t n) {
  const __m128i by512 = _mm_set_epi64x(static_cast<long long>(kFold512.last), static_cast<long long>(kFold512.first));
  const __m128i by128 = _mm_set_epi64x(static_cast<long long>(kFold128.last), static_cast<long long>(kFold128.first));
  __m128i a = load(p), b = load(p + 16), c = load(p + 32), d = load(p + 48);
  p += 64;
  n -= 64;
  for (; n >= 64; n -= 64, p += 64) {
    a = fold(a, by512, load(p));
    b = fold(b, by512, load(p + 16));
    c = fold(c, by512, load(p + 32));
    d = fold(d, by512, load(p + 48));
  }
  __m128i r = fold(fold(fold(a, by128, b), by128, c), by128, d);
  for (; n >= 16; n -= 16, p += 16) r = fold(r, by128, load(p));
  // What is left is the 16 bytes of r followed by the last n bytes: an
  // ordinary message again, since the register started at zero.
  alignas(16) std::array<std::uint8_t, 16> rest{};
  _mm_store_si128(reinterpret_cast<__m128i*>(rest.data()), r);
  return sliced(sliced(0, rest.data(), rest.size()), p, n);
}

// Set while the library is loaded; a call made before that (another static
// initialiser) sees false and takes the table path, which gives the same value.
const bool kHaveClmul = [] {
  __builtin_cpu_init();
  return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
}();

#endif

}  // namespace

std::uint32_t edc(std::span<const std::uint8_t> bytes) {
#ifdef EMBERLINE_EDC_CLMUL
  if (bytes.size() >= 64 && kHaveClmul) return folded(bytes.data(), bytes.size());
#endif
  return sliced(0, bytes.data(), bytes.size());
}

}  // namespace emberline::sector
