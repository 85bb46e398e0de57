// The sub-channel a raw recording sends with each sector.

#include "write/subchannel.h"

#include <gtest/gtest.h>

#include <string_view>

namespace emberline::write {
namespace {

TEST(SubchannelCrc, IsTheCcittPolynomialWithZeroStart) {
  constexpr std::string_view check = "123456789";
  EXPECT_EQ(crc16Ccitt({reinterpret_cast<const std::uint8_t*>(check.data()), check.size()}), 0x31C3);
}

TEST(QChannel, ProgramAreaPositionInBcdWithInvertedCrc) {
  SectorPosition p;
  p.track = 12;
  p.index = 1;
  p.lba = 4500 * 12 + 75 * 34 + 56 - 150;  // absolute 12:34:56
  p.relative = 75 * 61 + 7;                // 01:01:07
  const auto q = encodeQ(p);
  EXPECT_EQ(q[0], 0x41);
  EXPECT_EQ(q[1], 0x12);
  EXPECT_EQ(q[2], 0x01);
  EXPECT_EQ(q[3], 0x01);
  EXPECT_EQ(q[4], 0x01);
  EXPECT_EQ(q[5], 0x07);
  EXPECT_EQ(q[6], 0x00);
  EXPECT_EQ(q[7], 0x12);
  EXPECT_EQ(q[8], 0x34);
  EXPECT_EQ(q[9], 0x56);
  // A receiver checks the whole 12 bytes: with the CRC inverted the remainder is the inverted-CRC residue.
  const std::uint16_t stored = static_cast<std::uint16_t>(q[10] << 8 | q[11]);
  EXPECT_EQ(static_cast<std::uint16_t>(~stored), crc16Ccitt({q.data(), 10}));
}

TEST(QChannel, PregapCountsDownToTheTrackStart) {
  SectorPosition p;
  p.index = 0;
  p.lba = -150;
  p.relative = -150;
  const auto q = encodeQ(p);
  EXPECT_EQ(q[2], 0x00);
  EXPECT_EQ(q[4], 0x02) << "two seconds still to go";
  EXPECT_EQ(q[7], 0x00);
  EXPECT_EQ(q[8], 0x00);
  EXPECT_EQ(q[9], 0x00);
}

TEST(QChannel, LeadOutTrackNumberIsNotBcd) {
  SectorPosition p;
  p.track = kLeadOutTrackNumber;
  EXPECT_EQ(encodeQ(p)[1], 0xAA);
}

TEST(PackedSubchannel, PqCarriesQThenPauseFlagInTheLastByte) {
  SectorPosition p;
  p.pause = true;
  const auto pq = encodePq(p);
  const auto q = encodeQ(p);
  EXPECT_TRUE(std::equal(q.begin(), q.end(), pq.begin()));
  EXPECT_EQ(pq[12] | pq[13] | pq[14], 0);
  EXPECT_EQ(pq[15], 0x80);
  p.pause = false;
  EXPECT_EQ(encodePq(p)[15], 0x00);
}

TEST(PackedSubchannel, PwSpreadsQMostSignificantBitFirstWithRwZero) {
  SectorPosition p;
  p.pause = true;
  p.track = 3;
  p.lba = 1234;
  const auto pw = encodePw(p);
  const auto q = encodeQ(p);
  for (std::size_t symbol = 0; symbol < pw.size(); ++symbol) {
    EXPECT_EQ(pw[symbol] & 0x80, 0x80) << "P set throughout a pause";
    EXPECT_EQ((pw[symbol] >> 6) & 1, (q[symbol / 8] >> (7 - symbol % 8)) & 1) << symbol;
    EXPECT_EQ(pw[symbol] & 0x3F, 0) << "R-W stay zero";
  }
}

}  // namespace
}  // namespace emberline::write
