// What the strategies tell the drive for each sector form, and the plans
// they refuse before a command is sent.

#include <gtest/gtest.h>

#include "emberline/mmc/replay_transport.h"
#include "write/write_strategy.h"

namespace emberline::write {
namespace {

class FixedSource final : public BlockSource {
 public:
  FixedSource(std::size_t blockSize, std::uint32_t blocks) : blockSize_(blockSize), blocks_(blocks) {}
  std::size_t blockSize() const override { return blockSize_; }
  std::uint32_t blockCount() const override { return blocks_; }
  std::string describe() const override { return "a test source"; }
  Status read(std::span<std::uint8_t> out) override {
    std::fill(out.begin(), out.end(), std::uint8_t{0});
    return {};
  }

 private:
  std::size_t blockSize_;
  std::uint32_t blocks_;
};

DiscPlan planOf(RecordingMode mode, SectorForm form, std::size_t blockSize, SessionFormat session) {
  DiscPlan plan;
  plan.mode = mode;
  plan.sessionFormat = session;
  PlannedTrack track;
  track.source = std::make_unique<FixedSource>(blockSize, 300);
  track.form = form;
  plan.tracks.push_back(std::move(track));
  return plan;
}

MediumState blankCd() {
  MediumState medium;
  medium.profile = 0x0009;
  medium.family = MediumFamily::Cd;
  medium.disc.discStatus = mmc::DiscStatus::Blank;
  medium.freeBlocks = 359847;
  return medium;
}

// No command may reach the drive: the script is empty.
struct Bench {
  testing::ReplayTransport transport{{}};
  Drive drive{transport};
  RecordingContext context{drive, transport, {}, {}, {}, std::chrono::seconds(1)};
  DriveSteps steps{context};
};

TEST(SectorForm, PageAndCueValuesFollowTheForm) {
  EXPECT_EQ(dataBlockType(SectorForm::Mode1), 8);
  EXPECT_EQ(dataBlockType(SectorForm::Mode2Form1), 10);
  EXPECT_EQ(dataBlockType(SectorForm::Mode2Form2), 12);
  EXPECT_EQ(dataBlockType(SectorForm::Mode2Mixed), 13);
  EXPECT_EQ(pageBlockSize(SectorForm::Mode2Form2), 2324u);
  EXPECT_EQ(pageBlockSize(SectorForm::Mode2Mixed), 2332u);
  EXPECT_EQ(cueBlockSize(SectorForm::Mode1), 2048u);
  EXPECT_EQ(cueBlockSize(SectorForm::Mode2Form2), 2336u);
  EXPECT_EQ(sector::hostDataForm(cueTrackMode(SectorForm::Mode2Form1)), sector::DataForm::Mode2Xa);
  EXPECT_EQ(sessionFormatFor(SectorForm::Mode1), SessionFormat::CdDaOrCdRom);
  EXPECT_EQ(static_cast<int>(sessionFormatFor(SectorForm::Mode2Mixed)), 0x20);
}

TEST(SectorForm, AnXaTrackNeedsAnXaSession) {
  Bench bench;
  const DiscPlan plan = planOf(RecordingMode::SessionAtOnce, SectorForm::Mode2Mixed, 2336, SessionFormat::CdDaOrCdRom);
  auto strategy = chooseStrategy(plan, blankCd(), bench.steps);
  ASSERT_FALSE(strategy.ok());
  EXPECT_EQ(strategy.error().kind, ErrorKind::InvalidArgument);
  EXPECT_NE(strategy.error().message.find("CD-ROM XA session"), std::string::npos) << strategy.error().message;
}

TEST(SectorForm, StrategiesWithoutAnXaPathRefuseXaTracksBeforeWriting) {
  for (RecordingMode mode : {RecordingMode::TrackAtOnce, RecordingMode::RawPq}) {
    Bench bench;
    const DiscPlan plan = planOf(mode, SectorForm::Mode2Form1, 2048, SessionFormat::CdRomXa);
    auto strategy = chooseStrategy(plan, blankCd(), bench.steps);
    ASSERT_TRUE(strategy.ok()) << strategy.error().message;
    Status prepared = (*strategy)->prepare(plan, blankCd());
    ASSERT_FALSE(prepared.ok());
    EXPECT_EQ(prepared.error().kind, ErrorKind::NotSupported);
    EXPECT_NE(prepared.error().message.find("CD-ROM XA"), std::string::npos) << prepared.error().message;
  }
}

TEST(SectorForm, WholeXaSectorsGoAsDataForm21h) {
  EXPECT_EQ(cueBlockSize(SectorForm::Mode2Raw), 2352u);
  EXPECT_EQ(sector::hostDataForm(cueTrackMode(SectorForm::Mode2Raw)), sector::DataForm::Mode2XaRaw);
  EXPECT_EQ(sessionFormatFor(SectorForm::Mode2Raw), SessionFormat::CdRomXa);
}

TEST(SectorForm, BlockSizeMustMatchTheForm) {
  Bench bench;
  const DiscPlan plan = planOf(RecordingMode::SessionAtOnce, SectorForm::Mode1, 2352, SessionFormat::CdDaOrCdRom);
  auto strategy = chooseStrategy(plan, blankCd(), bench.steps);
  ASSERT_TRUE(strategy.ok());
  Status prepared = (*strategy)->prepare(plan, blankCd());
  ASSERT_FALSE(prepared.ok());
  EXPECT_EQ(prepared.error().message, "track 1 (a test source) does not hold 2048-byte sectors");
}

}  // namespace
}  // namespace emberline::write
