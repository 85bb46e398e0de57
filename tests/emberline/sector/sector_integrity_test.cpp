// EDC and P/Q parity, checked against the defining mathematics rather than
// against a second copy of the library's tables.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "gf256_reference.h"
#include "sector/cd_sector.h"

namespace emberline::sector {
namespace {

using testing::edcRemainder;
using testing::isCodeword;
using testing::parityChecks;

using Raw = std::array<std::uint8_t, kRawSectorSize>;

std::vector<std::uint8_t> randomBytes(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng());
  return v;
}

std::array<std::uint8_t, kUserDataSize> randomUser(unsigned seed) {
  std::array<std::uint8_t, kUserDataSize> u{};
  const auto v = randomBytes(u.size(), seed);
  std::copy(v.begin(), v.end(), u.begin());
  return u;
}

TEST(Edc, MessageFollowedByItsLittleEndianEdcIsDivisibleByTheCheckPolynomial) {
  for (std::size_t length : {1u, 7u, 16u, 2064u, 2332u}) {
    auto message = randomBytes(length, static_cast<unsigned>(length));
    const std::uint32_t v = edc(message);
    for (int i = 0; i < 4; ++i) message.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    EXPECT_EQ(edcRemainder(message), 0u) << "length " << length;
  }
}

TEST(Edc, OfNothingIsZeroAndOfAnyOneBitFlipDiffers) {
  EXPECT_EQ(edc({}), 0u);
  auto message = randomBytes(64, 3);
  const std::uint32_t before = edc(message);
  message[40] ^= 0x10;
  EXPECT_NE(edc(message), before);
}

TEST(Edc, Mode1CodewordCoversSyncHeaderAndUserData) {
  Raw raw{};
  const auto user = randomUser(11);
  encodeMode1(1234, user, raw);
  EXPECT_EQ(edcRemainder(std::span<const std::uint8_t>(raw.data(), 2068)), 0u);
}

TEST(Edc, Form1CodewordStartsAtTheSubheader) {
  Raw raw{};
  encodeMode2Form1(77, Subheader{1, 2, submode::kData, 0}, randomUser(12), raw);
  EXPECT_EQ(edcRemainder(std::span<const std::uint8_t>(raw.data() + 16, 2076 - 16)), 0u);
}

TEST(Parity, EveryCodewordOfARandomMode1SectorChecks) {
  Raw raw{};
  for (std::int32_t lba : {0, 4499, 359999, -150}) {
    encodeMode1(lba, randomUser(static_cast<unsigned>(lba + 1000)), raw);
    EXPECT_TRUE(parityChecks(raw)) << "lba " << lba;
  }
}

TEST(Parity, ASingleFlippedByteBreaksItsCodewords) {
  Raw raw{};
  encodeMode1(10, randomUser(5), raw);
  raw[500] ^= 0x01;
  EXPECT_FALSE(parityChecks(raw));
}

TEST(Parity, Form1ParityIsComputedWithTheHeaderTakenAsZero) {
  Raw raw{};
  encodeMode2Form1(4000, Subheader{0, 0, submode::kData, 0}, randomUser(21), raw);
  EXPECT_FALSE(parityChecks(raw)) << "the stored header must not be part of the parity";
  Raw zeroedHeader = raw;
  std::fill_n(zeroedHeader.begin() + 12, 4, std::uint8_t{0});
  EXPECT_TRUE(parityChecks(zeroedHeader));
}

// Searches for the two parity symbols that close a P codeword whose only
// non-zero data symbol is `first` at row 0: a derivation that shares nothing
// with the library's closed-form solution.
std::pair<std::uint8_t, std::uint8_t> closingPParity(std::uint8_t first) {
  std::vector<std::uint8_t> word(26, 0);
  word[0] = first;
  for (unsigned p0 = 0; p0 < 256; ++p0) {
    word[24] = static_cast<std::uint8_t>(p0);
    word[25] = static_cast<std::uint8_t>(first ^ p0);  // the all-ones check row
    if (isCodeword(word)) return {word[24], word[25]};
  }
  return {0, 0};
}

TEST(Parity, ZeroMode1SectorAtLba0HasTheDerivedBytes) {
  Raw raw{};
  encodeMode1(0, std::array<std::uint8_t, kUserDataSize>{}, raw);

  // Header 00 02 00 01: column 0 of plane 1 holds only the 02, column 1 of
  // plane 1 only the 01; the EDC sits in columns 37 and 38.
  const auto [c0p0, c0p1] = closingPParity(0x02);
  EXPECT_EQ(raw[2077], c0p0);
  EXPECT_EQ(raw[2163], c0p1);
  const auto [c1p0, c1p1] = closingPParity(0x01);
  EXPECT_EQ(raw[2079], c1p0);
  EXPECT_EQ(raw[2165], c1p1);
  EXPECT_NE(raw[2077], 0);
  // Plane 0 of columns 0 and 1 is all zero, so is its parity.
  EXPECT_EQ(raw[2076], 0);
  EXPECT_EQ(raw[2078], 0);

  // The EDC of 00 FF.. 00 | 00 02 00 01 | zeros, by long division.
  std::vector<std::uint8_t> message(raw.begin(), raw.begin() + 2064);
  const std::uint32_t stored = raw[2064] | (raw[2065] << 8) | (raw[2066] << 16) | (std::uint32_t{raw[2067]} << 24);
  EXPECT_EQ(stored, edc(message));
  EXPECT_NE(stored, 0u);
}

}  // namespace
}  // namespace emberline::sector
