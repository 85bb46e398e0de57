// Sector layouts: header addressing, Mode 2 subheaders and EDC placement,
// decoding and what the decoders refuse.

#include <gtest/gtest.h>

#include <array>
#include <numeric>

#include "sector/cd_sector.h"

namespace emberline::sector {
namespace {

using Raw = std::array<std::uint8_t, kRawSectorSize>;

template <std::size_t N>
std::array<std::uint8_t, N> pattern(std::uint8_t seed) {
  std::array<std::uint8_t, N> a{};
  for (std::size_t i = 0; i < N; ++i) a[i] = static_cast<std::uint8_t>(seed + i * 7);
  return a;
}

std::uint32_t le32(const Raw& raw, std::size_t at) {
  return raw[at] | (raw[at + 1] << 8) | (raw[at + 2] << 16) | (std::uint32_t{raw[at + 3]} << 24);
}

TEST(SectorHeader, SyncAndBcdAddressOfLbaPlus150) {
  struct Case {
    std::int32_t lba;
    std::array<std::uint8_t, 3> msf;
  };
  for (const Case c : {Case{0, {0x00, 0x02, 0x00}}, Case{4499, {0x01, 0x01, 0x74}}, Case{359999, {0x80, 0x01, 0x74}},
                       Case{-150, {0x00, 0x00, 0x00}}}) {
    Raw raw{};
    encodeMode1(c.lba, std::array<std::uint8_t, kUserDataSize>{}, raw);
    EXPECT_EQ(raw[0], 0x00);
    for (int i = 1; i <= 10; ++i) EXPECT_EQ(raw[i], 0xFF);
    EXPECT_EQ(raw[11], 0x00);
    EXPECT_EQ((std::array{raw[12], raw[13], raw[14]}), c.msf) << "lba " << c.lba;
    EXPECT_EQ(raw[15], 0x01);
    const SectorInfo info = inspect(raw);
    EXPECT_TRUE(info.headerValid);
    EXPECT_EQ(info.lba, c.lba);
  }
}

TEST(Mode1, RoundTripsUserDataAndLeavesTheZeroGap) {
  Raw raw{};
  const auto user = pattern<kUserDataSize>(3);
  encodeMode1(42, user, raw);
  EXPECT_TRUE(std::equal(user.begin(), user.end(), raw.begin() + 16));
  for (std::size_t i = 2068; i < 2076; ++i) EXPECT_EQ(raw[i], 0) << i;
  std::array<std::uint8_t, kUserDataSize> back{};
  ASSERT_TRUE(decodeMode1(raw, back));
  EXPECT_EQ(back, user);
  const SectorInfo info = inspect(raw);
  EXPECT_EQ(info.kind, SectorKind::Mode1);
  EXPECT_TRUE(info.edcValid);
}

TEST(Mode1, DecodeRejectsCorruptedDataSyncAndMode) {
  Raw good{};
  encodeMode1(42, pattern<kUserDataSize>(9), good);
  std::array<std::uint8_t, kUserDataSize> out{};
  for (std::size_t at : {std::size_t{1000}, std::size_t{5}, std::size_t{15}, std::size_t{2065}}) {
    Raw bad = good;
    bad[at] ^= 0x04;
    EXPECT_FALSE(decodeMode1(bad, out)) << "corruption at " << at;
  }
  EXPECT_EQ(out, (std::array<std::uint8_t, kUserDataSize>{})) << "a refused sector must not leak into the output";
  Raw form1{};
  encodeMode2Form1(42, {}, pattern<kUserDataSize>(9), form1);
  EXPECT_FALSE(decodeMode1(form1, out));
}

TEST(Mode2Form1, SubheaderIsStoredTwiceAndItsForm2BitCleared) {
  Raw raw{};
  const Subheader sh{3, 1, submode::kData | submode::kForm2 | submode::kEndOfRecord, 0x0F};
  const auto user = pattern<kUserDataSize>(1);
  encodeMode2Form1(16, sh, user, raw);
  EXPECT_EQ(raw[15], 0x02);
  const std::array<std::uint8_t, 4> expected{3, 1, submode::kData | submode::kEndOfRecord, 0x0F};
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), raw.begin() + 16));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), raw.begin() + 20));
  EXPECT_TRUE(std::equal(user.begin(), user.end(), raw.begin() + 24));
  EXPECT_EQ(le32(raw, 2072), edc(std::span<const std::uint8_t>(raw.data() + 16, 2056)));

  std::array<std::uint8_t, kUserDataSize> back{};
  Subheader got;
  ASSERT_TRUE(decodeMode2Form1(raw, back, &got));
  EXPECT_EQ(back, user);
  EXPECT_EQ(got.submode, expected[2]);
  EXPECT_EQ(inspect(raw).lba, 16);

  raw[30] ^= 0x80;
  EXPECT_FALSE(decodeMode2Form1(raw, back));
}

TEST(Mode2Form2, EdcIsAt2348AndCoversSubheaderAndData) {
  Raw raw{};
  const auto user = pattern<kForm2DataSize>(5);
  encodeMode2Form2(200, Subheader{1, 1, submode::kVideo | submode::kRealTime, 0x0F}, user, raw);
  EXPECT_EQ(raw[18] & submode::kForm2, submode::kForm2);
  EXPECT_EQ(raw[22], raw[18]);
  EXPECT_TRUE(std::equal(user.begin(), user.end(), raw.begin() + 24));
  EXPECT_EQ(le32(raw, 2348), edc(std::span<const std::uint8_t>(raw.data() + 16, 2332)));

  SectorInfo info = inspect(raw);
  EXPECT_EQ(info.kind, SectorKind::Mode2Form2);
  EXPECT_TRUE(info.edcValid);
  std::array<std::uint8_t, kForm2DataSize> back{};
  ASSERT_TRUE(decodeMode2Form2(raw, back));
  EXPECT_EQ(back, user);

  // A zero EDC means "not computed", which Form 2 permits.
  std::fill_n(raw.begin() + 2348, 4, std::uint8_t{0});
  EXPECT_TRUE(inspect(raw).edcValid);
  raw[100] ^= 1;
  EXPECT_TRUE(decodeMode2Form2(raw, back));
  raw[2348] = 1;
  EXPECT_FALSE(inspect(raw).edcValid);
}

TEST(Mode2, BodyStripsAndRestoresSyncAndHeader) {
  Raw form1{};
  encodeMode2Form1(5000, Subheader{0, 0, submode::kData, 0}, pattern<kUserDataSize>(2), form1);
  const auto body = mode2Body(form1);
  EXPECT_EQ(body.data(), form1.data() + 16);
  Raw rebuilt{};
  encodeMode2Formless(5000, body, rebuilt);
  EXPECT_EQ(rebuilt, form1);
}

TEST(Mode2, MismatchedSubheaderCopiesMeanFormless) {
  std::array<std::uint8_t, kMode2BodySize> body{};
  std::iota(body.begin(), body.end(), std::uint8_t{0});
  Raw raw{};
  encodeMode2Formless(1, body, raw);
  EXPECT_EQ(inspect(raw).kind, SectorKind::Mode2Formless);
  std::array<std::uint8_t, kUserDataSize> out{};
  EXPECT_FALSE(decodeMode2Form1(raw, out));
}

}  // namespace
}  // namespace emberline::sector
