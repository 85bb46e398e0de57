// The library's table-driven encoders against the plain reference encoder,
// byte for byte, on many random sectors.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "reference_encoder.h"
#include "sector/cd_sector.h"

namespace emberline::sector {
namespace {

using Raw = std::array<std::uint8_t, kRawSectorSize>;

class RandomSectors : public ::testing::Test {
 protected:
  template <std::size_t N>
  std::array<std::uint8_t, N> randomData() {
    std::array<std::uint8_t, N> a{};
    for (auto& b : a) b = static_cast<std::uint8_t>(rng_());
    return a;
  }
  std::int32_t randomLba() { return static_cast<std::int32_t>(rng_() % 450000) - 150; }
  Subheader randomSubheader() {
    return {static_cast<std::uint8_t>(rng_()), static_cast<std::uint8_t>(rng_()), static_cast<std::uint8_t>(rng_()),
            static_cast<std::uint8_t>(rng_())};
  }
  // Sectors of all zeros or all ones push every lane through the same path;
  // random ones check that lanes do not leak into each other.
  static constexpr int kSectors = 300;
  std::mt19937 rng_{20261209};
};

TEST_F(RandomSectors, EdcMatchesTheBitwiseDivisionAtAnyLengthAndAlignment) {
  const auto bytes = randomData<4096>();
  for (int i = 0; i < 2000; ++i) {
    const std::size_t from = rng_() % 64;
    const std::size_t length = i < 100 ? static_cast<std::size_t>(i) : rng_() % (bytes.size() - from);
    const std::span<const std::uint8_t> piece(bytes.data() + from, length);
    ASSERT_EQ(edc(piece), testing::referenceEdc(piece)) << "from " << from << " length " << length;
  }
}

TEST_F(RandomSectors, Mode1IsByteIdenticalToTheReference) {
  Raw fast{}, slow{};
  for (int i = 0; i < kSectors; ++i) {
    const auto user = randomData<kUserDataSize>();
    const std::int32_t lba = randomLba();
    encodeMode1(lba, user, fast);
    testing::referenceMode1(slow, lba, user);
    ASSERT_EQ(fast, slow) << "sector " << i << " lba " << lba;
  }
}

TEST_F(RandomSectors, Form1AndForm2AreByteIdenticalToTheReference) {
  Raw fast{}, slow{};
  for (int i = 0; i < kSectors; ++i) {
    const std::int32_t lba = randomLba();
    Subheader sh = randomSubheader();
    sh.submode = static_cast<std::uint8_t>(sh.submode & ~submode::kForm2);
    const auto user = randomData<kUserDataSize>();
    encodeMode2Form1(lba, sh, user, fast);
    testing::referenceForm1(slow, lba, {sh.file, sh.channel, sh.submode, sh.coding}, user);
    ASSERT_EQ(fast, slow) << "form 1 sector " << i << " lba " << lba;

    sh.submode |= submode::kForm2;
    const auto data = randomData<kForm2DataSize>();
    encodeMode2Form2(lba, sh, data, fast);
    testing::referenceForm2(slow, lba, {sh.file, sh.channel, sh.submode, sh.coding}, data);
    ASSERT_EQ(fast, slow) << "form 2 sector " << i << " lba " << lba;
  }
}

TEST_F(RandomSectors, ExtremeBytePatternsMatchTheReference) {
  Raw fast{}, slow{};
  for (std::uint8_t fill : {0x00, 0xFF, 0x80, 0x01}) {
    std::array<std::uint8_t, kUserDataSize> user{};
    user.fill(fill);
    encodeMode1(1000, user, fast);
    testing::referenceMode1(slow, 1000, user);
    ASSERT_EQ(fast, slow) << "fill " << int{fill};
  }
}

TEST(Form2Edc, ZeroWhenAskedAndStillReadable) {
  std::array<std::uint8_t, kForm2DataSize> data{};
  data.fill(0x5A);
  Raw raw{};
  encodeMode2Form2(300, Subheader{1, 1, submode::kVideo, 0}, data, raw, Form2Edc::Zero);
  EXPECT_TRUE(std::all_of(raw.begin() + 2348, raw.end(), [](std::uint8_t b) { return b == 0; }));
  std::array<std::uint8_t, kForm2DataSize> back{};
  Subheader sh;
  ASSERT_TRUE(decodeMode2Form2(raw, back, &sh));
  EXPECT_EQ(back, data);
  EXPECT_EQ(sh.submode, submode::kVideo | submode::kForm2);

  // Corruption is caught only where an EDC was written.
  encodeMode2Form2(300, Subheader{1, 1, submode::kVideo, 0}, data, raw);
  raw[1000] ^= 0x40;
  EXPECT_FALSE(decodeMode2Form2(raw, back));
}

}  // namespace
}  // namespace emberline::sector
