// The layer break of a two-layer DVD+R: chosen from the image's candidates
// (or the half of a data image), sent before the first write, and left alone
// when the image fits one layer. The virtual writer's disc has 512 blocks a layer.

#include "write/layer_break.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "drive/drive.h"
#include "emberline/virtual/cdb.h"
#include "write/recorder.h"

namespace emberline::write {
namespace {

/// Blocks that say where they belong: each holds its own number throughout.
class NumberedBlocks final : public BlockSource {
 public:
  explicit NumberedBlocks(std::uint32_t count) : count_(count) {}
  std::size_t blockSize() const override { return 2048; }
  std::uint32_t blockCount() const override { return count_; }
  std::string describe() const override { return "numbered blocks"; }
  Status read(std::span<std::uint8_t> out) override {
    for (std::size_t at = 0; at < out.size(); at += 4)
      be::put32(out, at, next_ + static_cast<std::uint32_t>(at / 2048));
    next_ += static_cast<std::uint32_t>(out.size() / 2048);
    return {};
  }

 private:
  std::uint32_t count_;
  std::uint32_t next_ = 0;
};

class LayerBreak : public ::testing::Test {
 protected:
  LayerBreak() { h_.waitReady(); }

  Status burn(std::uint32_t blocks, std::vector<std::uint32_t> candidates) {
    DiscPlan plan;
    PlannedTrack track;
    track.source = std::make_unique<NumberedBlocks>(blocks);
    track.requiredStart = 0;
    track.layerBreakCandidates = std::move(candidates);
    plan.tracks.push_back(std::move(track));
    Drive device(*h_.transport);
    RecordingContext context{device, *h_.transport, {}, {}, {}, std::chrono::minutes(1)};
    return record(context, plan);
  }

  /// The .layers side data of the ejected disc.
  std::string sideData() {
    EXPECT_TRUE(h_.eject().good());
    for (const std::string& path : h_.drive->finishedImages())
      if (path.ends_with(".layers")) {
        std::stringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
      }
    return "(none)";
  }

  /// Whether block @p lba of the disc holds the image's block @p lba.
  bool holdsBlock(std::uint32_t lba) {
    auto b = h_.fetch(vtest::read10(static_cast<std::int32_t>(lba), 1), 2048);
    return b.size() == 2048 && be::get32(b, 0) == lba && be::get32(b, 2044) == lba;
  }

  vtest::DriveHarness h_{"dvd+r-dl,capacity=1024"};
};

TEST_F(LayerBreak, ImageThatFitsOneLayerGetsNoBreak) {
  ASSERT_TRUE(burn(500, {100, 300}).ok());
  EXPECT_TRUE(holdsBlock(0));
  EXPECT_TRUE(holdsBlock(499));
  EXPECT_EQ(sideData(), "layer0 512\nset no\n");
}

TEST_F(LayerBreak, BreakGoesToTheFirstCellStartPastTheHalfOnAnEccBlock) {
  // 800 blocks: layer 0 must hold 400 at least and 512 at most; candidates out of order. The first
  // in range, 410, is no ECC block boundary: a drive would switch layers at 416, inside that cell.
  ASSERT_TRUE(burn(800, {700, 410, 100, 399, 450, 432, 411}).ok());
  EXPECT_EQ(h_.discInfo()[2] & 0x03, 2) << "finalized";
  EXPECT_TRUE(holdsBlock(431));
  EXPECT_TRUE(holdsBlock(432));
  EXPECT_TRUE(holdsBlock(799));
  EXPECT_EQ(sideData(), "layer0 432\nset yes\n");
}

TEST_F(LayerBreak, NoCandidateInRangeIsRefusedBeforeWriting) {
  Status burnt = burn(800, {100, 399, 513, 700});
  ASSERT_FALSE(burnt.ok());
  EXPECT_NE(burnt.error().message.find("none of its cell starts"), std::string::npos) << burnt.error().message;
  EXPECT_NE(burnt.error().message.find("between block 400"), std::string::npos) << burnt.error().message;
  EXPECT_TRUE(h_.fetch(vtest::cdb({0xAD, 0, 0, 0, 0, 0, 0, 0x20, 0, 12, 0, 0}))[4] == 0) << "boundary still free";
  // A cell start in range that is no ECC block boundary is no place either.
  burnt = burn(800, {100, 401, 500, 700});
  ASSERT_FALSE(burnt.ok());
  EXPECT_NE(burnt.error().message.find("a multiple of 16 blocks"), std::string::npos) << burnt.error().message;
  EXPECT_EQ(h_.discInfo()[2] & 0x03, 0) << "the disc stays blank";
  EXPECT_TRUE(h_.fetch(vtest::cdb({0xAD, 0, 0, 0, 0, 0, 0, 0x20, 0, 12, 0, 0}))[4] == 0) << "boundary still free";
}

TEST_F(LayerBreak, DataImageBreaksAtTheHalf) {
  // 801 blocks are written as 816: the half, 408, rounded up to an ECC block.
  ASSERT_TRUE(burn(801, {}).ok());
  EXPECT_TRUE(holdsBlock(800));
  EXPECT_EQ(sideData(), "layer0 416\nset yes\n");
}

TEST_F(LayerBreak, ImageLargerThanBothLayersIsRefused) {
  Status burnt = burn(1100, {});
  ASSERT_FALSE(burnt.ok());
  EXPECT_NE(burnt.error().message.find("1104 blocks"), std::string::npos) << burnt.error().message;
  EXPECT_EQ(h_.discInfo()[2] & 0x03, 0);
}

TEST(LayerBreakChoice, CountsFromWhereTheRecordingStarts) {
  LayerBreakQuestion q;
  q.start = 96;
  q.blocks = 800;
  q.layer0Maximum = 600;
  q.candidates = {300, 352, 353, 500};
  auto chosen = chooseLayerBreak(q);
  ASSERT_TRUE(chosen.ok());
  ASSERT_TRUE(chosen->has_value());
  EXPECT_EQ(**chosen, 96u + 352u) << "layer 0 ends at 448, half of the 896 blocks the disc then holds";
  q.candidates = {353, 368};
  chosen = chooseLayerBreak(q);
  ASSERT_TRUE(chosen.ok() && chosen->has_value());
  EXPECT_EQ(**chosen, 96u + 368u) << "96 + 353 is no ECC block boundary";
  q.candidates = {505};
  EXPECT_FALSE(chooseLayerBreak(q).ok()) << "past the end of layer 0";
  q.blocks = 400;
  auto fits = chooseLayerBreak(q);
  ASSERT_TRUE(fits.ok());
  EXPECT_FALSE(fits->has_value());
}

}  // namespace
}  // namespace emberline::write
