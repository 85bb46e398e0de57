#include <gtest/gtest.h>

#include <map>

#include "cdb.h"

using namespace vtest;
using emberline::be::get16;
using emberline::be::get32;

TEST(MediumIdentity, EachMediaKindReportsItsProfile) {
  struct Case {
    const char* spec;
    std::uint16_t profile;
  } cases[] = {{"cd-rom", 0x08}, {"cd-r", 0x09},     {"cd-rw", 0x0A},      {"dvd-rom", 0x10},
               {"dvd-r", 0x11},  {"dvd-rw", 0x14},   {"dvd-rw-ro", 0x13},  {"dvd+rw", 0x1A},
               {"dvd+r", 0x1B},  {"dvd+r-dl", 0x2B}, {"none,drive=dvd", 0}};
  for (const auto& c : cases) {
    DriveHarness h(c.spec);
    EXPECT_EQ(h.profile(), c.profile) << c.spec;
  }
}

TEST(MediumIdentity, InquiryNamesTheVirtualDrive) {
  DriveHarness h("cd-r");
  auto b = h.fetch(cdb({0x12, 0, 0, 0, 36, 0}));
  ASSERT_EQ(b.size(), 36u);
  EXPECT_EQ(b[0], 0x05);
  EXPECT_EQ(b[1] & 0x80, 0x80);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "ONDRELLE");
  EXPECT_EQ(std::string(b.begin() + 16, b.begin() + 32), "VIRTUAL CD-RW   ");
}

TEST(MediumIdentity, UnknownOpcodeAndEmptyDriveGiveRealSense) {
  DriveHarness h("none,drive=cd");
  EXPECT_TRUE(hasSense(h.run(cdb({0xEE, 0, 0, 0, 0, 0})), 5, 0x20, 0));
  EXPECT_TRUE(hasSense(h.run(cdb({0, 0, 0, 0, 0, 0})), 2, 0x3A, 0));
  auto s = h.fetch(cdb({0x03, 0, 0, 0, 18, 0}));
  ASSERT_EQ(s.size(), 18u);
  EXPECT_EQ(s[0], 0x70);
  EXPECT_EQ(s[2], 0x02);
  EXPECT_EQ(s[12], 0x3A);
  EXPECT_TRUE(hasSense(h.run(cdb({0xA4, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0x08, 0})), 5, 0x20, 0));
}

TEST(BlankMedia, BlankCdRHasTheWholeDiscFree) {
  DriveHarness h("cd-r");
  auto di = h.discInfo();
  ASSERT_EQ(di.size(), 34u);
  EXPECT_EQ(di[2] & 0x03, 0);         // blank
  EXPECT_EQ((di[2] >> 2) & 0x03, 0);  // empty last session
  EXPECT_EQ(di[21], 79);              // last possible lead-out 79:59:74
  EXPECT_EQ(di[22], 59);
  EXPECT_EQ(di[23], 74);
  EXPECT_EQ(h.freeBlocks(), 359849u);
  EXPECT_EQ(h.nwa(), 0u);
  EXPECT_TRUE(hasSense(h.run(cdb({0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0})), 5, 0x24, 0));
  auto atip = h.fetch(cdb({0x43, 0, 0x04, 0, 0, 0, 0, 0, 28, 0}));
  ASSERT_EQ(atip.size(), 28u);
  EXPECT_EQ(atip[6] & 0x40, 0);  // CD-R, not RW
  EXPECT_GE(atip[8], 90);        // lead-in in the 9x minutes
}

TEST(BlankMedia, DvdKindsReportTheirCapacity) {
  DriveHarness plus("dvd+r");
  EXPECT_EQ(plus.freeBlocks(), 2295104u);
  DriveHarness dl("dvd+r-dl");
  EXPECT_EQ(dl.freeBlocks(), 4173824u);
  DriveHarness rw("dvd-rw");
  EXPECT_EQ(rw.freeBlocks(), 2298496u);
  EXPECT_EQ(rw.discInfo()[2] & 0x10, 0x10);  // erasable
  auto key = rw.fetch(cdb({0xA4, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0x08, 0}));
  ASSERT_EQ(key.size(), 8u);
  EXPECT_EQ(key[4], (4 << 3) | 5);
  EXPECT_EQ(key[6], 0x01);
}

TEST(PrerecordedMedia, CdRWithOneClosedSessionShowsItInTheTocs) {
  DriveHarness h("cd-r,sessions=1,appendable=1,label=OLD");
  auto di = h.discInfo();
  EXPECT_EQ(di[2] & 0x03, 1);  // appendable
  EXPECT_EQ(di[4], 2);         // the closed session and the empty one
  EXPECT_EQ(di[6], 2);         // invisible track 2
  EXPECT_LT(h.freeBlocks(), 359849u);
  EXPECT_EQ(h.nwa(), 300u + 11400u);
  auto toc = h.fetch(cdb({0x43, 0, 0, 0, 0, 0, 0, 0x03, 0x24, 0}));
  ASSERT_EQ(toc.size(), 4u + 16u);
  EXPECT_EQ(toc[2], 1);
  EXPECT_EQ(toc[3], 1);
  EXPECT_EQ(toc[14], 0xAA);
  EXPECT_EQ(get32(toc, 16), 300u);
  auto full = h.fetch(cdb({0x43, 0, 0x02, 0, 0, 0, 0, 0x03, 0x24, 0}));
  std::vector<std::uint8_t> points;
  for (std::size_t at = 4; at + 11 <= full.size(); at += 11) points.push_back(full[at + 3]);
  EXPECT_EQ(points, (std::vector<std::uint8_t>{0xA0, 0xA1, 0xA2, 0x01, 0xB0}));
  auto cap = h.fetch(cdb({0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(get32(cap, 0), 299u);
  auto pvd = h.fetch(read10(16, 1));
  ASSERT_EQ(pvd.size(), 2048u);
  EXPECT_EQ(std::string(pvd.begin() + 1, pvd.begin() + 6), "CD001");
  EXPECT_EQ(std::string(pvd.begin() + 40, pvd.begin() + 43), "OLD");
  EXPECT_TRUE(hasSense(h.run(read10(300, 1), &pvd), 5, 0x21, 0));
}

TEST(PrerecordedMedia, PressedDiscCannotBeWrittenOrCalibrated) {
  DriveHarness h("cd-rom");
  EXPECT_EQ(h.discInfo()[2] & 0x03, 2);
  Bytes block(2048, 0);
  EXPECT_TRUE(hasSense(h.send(write10(0, 1), block), 5, 0x30, 0x05));
  EXPECT_TRUE(hasSense(h.run(cdb({0x54, 1, 0, 0, 0, 0, 0, 0, 0, 0})), 5, 0x20, 0));
}

namespace {
/// Feature code -> current flag, from a GET CONFIGURATION reply.
std::map<std::uint16_t, bool> features(const Bytes& reply) {
  std::map<std::uint16_t, bool> out;
  for (std::size_t at = 8; at + 4 <= reply.size(); at += 4u + reply[at + 3]) out[get16(reply, at)] = reply[at + 2] & 1;
  return out;
}
}  // namespace

TEST(MediumIdentity, FeaturesFollowTheDriveAndTheCurrentMedium) {
  DriveHarness dvd("dvd+r");
  auto f = features(dvd.fetch(cdb({0x46, 0, 0, 0, 0, 0, 0, 0x10, 0, 0})));
  EXPECT_TRUE(f.at(0x002B));
  EXPECT_FALSE(f.at(0x002D));  // a CD TAO feature the drive has, not current for this medium
  EXPECT_TRUE(f.at(0x001F));
  auto only = features(dvd.fetch(cdb({0x46, 0x02, 0x00, 0x2E, 0, 0, 0, 0x10, 0, 0})));
  EXPECT_EQ(only.size(), 1u);
  DriveHarness cd("cd-r");
  auto c = features(cd.fetch(cdb({0x46, 0x01, 0, 0, 0, 0, 0, 0x10, 0, 0})));
  EXPECT_TRUE(c.count(0x002D) && c.count(0x002E));
  EXPECT_EQ(c.count(0x001F), 0u);  // a CD-only drive has no DVD Read feature at all
}

TEST(BlankMedia, BlankingRewritableMediaStartsOver) {
  DriveHarness h("dvd-rw");
  ASSERT_TRUE(h.send(write10(0, 2), Bytes(4096, 1)).good());
  EXPECT_EQ(h.discInfo()[2] & 0x03, 1);
  ASSERT_TRUE(h.run(cdb({0xA1, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})).good());
  EXPECT_EQ(h.discInfo()[2] & 0x03, 0);
  EXPECT_EQ(h.freeBlocks(), 2298496u);
  DriveHarness once("cd-r");
  EXPECT_TRUE(hasSense(once.run(cdb({0xA1, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})), 5, 0x30, 0x05));
}

TEST(BlankMedia, BufferCapacityReportsTheConfiguredBuffer) {
  DriveHarness h("cd-r,buffer=1024");
  auto b = h.fetch(cdb({0x5C, 0, 0, 0, 0, 0, 0, 0, 12, 0}));
  ASSERT_EQ(b.size(), 12u);
  EXPECT_EQ(get32(b, 4), 1024u * 1024);
  EXPECT_EQ(get32(b, 8), 1024u * 1024);  // nothing buffered when writes drain at once
}
