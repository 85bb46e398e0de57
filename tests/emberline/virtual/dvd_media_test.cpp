// The DVD media that need more than writing in order: the two layers of a
// DVD+R DL with their boundary, and the format of a DVD+RW.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cdb.h"

using namespace vtest;
using emberline::be::get32;
using emberline::be::put16;
using emberline::be::put32;

namespace {

ScsiCommand readLayerBoundary() {
  return cdb({0xAD, 0, 0, 0, 0, 0, 0, 0x20, 0, 12, 0, 0});
}

ScsiReply sendLayerBoundary(DriveHarness& h, std::uint32_t layer0) {
  Bytes data(12, 0);
  put16(data, 0, 10);
  put32(data, 8, layer0);
  return h.send(cdb({0xBF, 0, 0, 0, 0, 0, 0, 0x20, 0, 12, 0, 0}), data);
}

ScsiReply formatUnit(DriveHarness& h, std::uint8_t type = 0x26, std::uint32_t blocks = 0xFFFFFFFF) {
  Bytes list(12, 0);
  list[1] = 0x02;  // immediate
  put16(list, 2, 8);
  put32(list, 4, blocks);
  list[8] = static_cast<std::uint8_t>(type << 2);
  return h.send(cdb({0x04, 0x11, 0, 0, 0, 0}), list);
}

ScsiReply writeBlocks(DriveHarness& h, std::int32_t lba, std::uint16_t blocks) {
  return h.send(write10(lba, blocks), Bytes(std::size_t{blocks} * 2048, 0x5A));
}

std::string sideData(DriveHarness& h) {
  for (const std::string& path : h.drive->finishedImages())
    if (path.ends_with(".layers")) {
      std::ifstream in(path);
      std::stringstream text;
      text << in.rdbuf();
      return text.str();
    }
  return "(no .layers file)";
}

}  // namespace

TEST(DualLayer, BoundaryMovesBeforeTheFirstWriteAndThenStays) {
  DriveHarness h("dvd+r-dl,capacity=4096");
  h.waitReady();
  auto b = h.fetch(readLayerBoundary());
  ASSERT_EQ(b.size(), 12u);
  EXPECT_EQ(get32(b, 8), 2048u) << "layer 0 is half the disc";
  EXPECT_EQ(b[4] & 0x80, 0) << "a blank disc's boundary can still be set";
  EXPECT_EQ(h.freeBlocks(), 4096u);

  EXPECT_TRUE(hasSense(sendLayerBoundary(h, 2049), 5, 0x26, 0)) << "past the physical layer";
  // Layers switch on an ECC block boundary: a host that asks for another block is told, not rounded.
  EXPECT_TRUE(hasSense(sendLayerBoundary(h, 1601), 5, 0x26, 0)) << "off an ECC block boundary";
  EXPECT_TRUE(hasSense(sendLayerBoundary(h, 1592 + 15), 5, 0x26, 0)) << "off an ECC block boundary";
  ASSERT_TRUE(sendLayerBoundary(h, 1600).good());
  EXPECT_EQ(get32(h.fetch(readLayerBoundary()), 8), 1600u);
  EXPECT_EQ(h.freeBlocks(), 3200u) << "layer 1 holds no more than layer 0";

  ASSERT_TRUE(writeBlocks(h, 0, 32).good());
  b = h.fetch(readLayerBoundary());
  EXPECT_EQ(b[4] & 0x80, 0x80) << "fixed once recording began";
  EXPECT_TRUE(hasSense(sendLayerBoundary(h, 1800), 5, 0x2C, 0));
  EXPECT_EQ(get32(h.fetch(readLayerBoundary()), 8), 1600u);
  ASSERT_TRUE(writeBlocks(h, 32, 32).good());
  ASSERT_TRUE(h.eject().good());
  EXPECT_EQ(sideData(h), "layer0 1600\nset yes\n");
}

TEST(DualLayer, OnlyTwoLayerMediaHaveABoundary) {
  DriveHarness plus("dvd+r");
  plus.waitReady();
  EXPECT_TRUE(hasSense(plus.run(readLayerBoundary(), nullptr), 5, 0x24, 0));
  EXPECT_TRUE(hasSense(sendLayerBoundary(plus, 1024), 5, 0x24, 0));
  DriveHarness cd("cd-r");
  cd.waitReady();
  EXPECT_TRUE(hasSense(sendLayerBoundary(cd, 1024), 5, 0x30, 0x02));
}

TEST(DualLayer, RecordingWithoutABreakKeepsTheMediumsBoundary) {
  DriveHarness h("dvd+r-dl,capacity=1024");
  h.waitReady();
  ASSERT_TRUE(writeBlocks(h, 0, 64).good());
  ASSERT_TRUE(h.eject().good());
  EXPECT_EQ(sideData(h), "layer0 512\nset no\n");
}

TEST(DualLayer, CapacityMustSplitIntoWholeEccBlocks) {
  EXPECT_FALSE(emberline::virt::parseWriterConfigs("dvd+r-dl,capacity=1000").ok());
  EXPECT_FALSE(emberline::virt::parseWriterConfigs("dvd+r-dl,capacity=32").ok());
  EXPECT_FALSE(emberline::virt::parseWriterConfigs("dvd+r,capacity=99999968").ok());
  EXPECT_TRUE(emberline::virt::parseWriterConfigs("dvd-r,capacity=2048").ok());
}

TEST(PlusRwFormat, WritesWaitForAFormat) {
  DriveHarness h("dvd+rw,capacity=2048");
  h.waitReady();
  EXPECT_EQ(h.discInfo()[7] & 0x03, 0) << "never formatted";
  EXPECT_TRUE(hasSense(writeBlocks(h, 0, 16), 3, 0x31, 0));

  EXPECT_TRUE(hasSense(formatUnit(h, 0x00), 5, 0x26, 0)) << "only the DVD+RW full format";
  EXPECT_TRUE(hasSense(formatUnit(h, 0x26, 4096), 5, 0x26, 0)) << "more blocks than the disc has";
  ASSERT_TRUE(formatUnit(h).good());
  EXPECT_TRUE(hasSense(h.run(cdb({0, 0, 0, 0, 0, 0})), 2, 0x04, 0x04)) << "an immediate format reports itself";
  h.waitReady();
  EXPECT_EQ(h.discInfo()[7] & 0x03, 0x03);
  ASSERT_TRUE(writeBlocks(h, 0, 16).good());
  ASSERT_TRUE(writeBlocks(h, 0, 16).good()) << "and overwrites";
}

TEST(PlusRwFormat, OtherMediaAreNotFormatted) {
  DriveHarness h("dvd+r");
  h.waitReady();
  EXPECT_TRUE(hasSense(formatUnit(h), 5, 0x30, 0x05));
  EXPECT_EQ(h.discInfo()[7] & 0x03, 0);
  ASSERT_TRUE(writeBlocks(h, 0, 16).good());
}
