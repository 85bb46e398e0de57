// Video CDs and Super Video CDs burned through the flat API onto the virtual
// CD writer, read back from its BIN/CUE by the Video CD tools.

#include <atomic>
#include <chrono>
#include <thread>

#include "emberline/write/recording_fixture.h"
#include "video_fixtures.h"

namespace emberline::test {
namespace {

using video_test::fixture;

class VideoBurn : public RecordingTest {
 protected:
  uint8_t burn(bool super, const std::string& source, uint8_t testMode = 0) {
    const auto call = super ? &Emberline_CdvdWriter_SuperVideoCD : &Emberline_CdvdWriter_VideoCD;
    return call(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure, source.c_str(), "Album VideoCD",
                1, 1, testMode, 1, 5);
  }

  /// Ejects and returns the folder holding the recorded disc.cue's .bin and .cue.
  std::filesystem::path recorded() {
    EXPECT_EQ(eject(), EMBERLINE_OK);
    const auto cues = images(".cue");
    EXPECT_EQ(cues.size(), 1u);
    return cues.empty() ? std::filesystem::path() : cues.front();
  }
};

struct BurnCase {
  const char* file;
  bool super;
  const char* detected;
};

class VideoBurnOf : public VideoBurn, public ::testing::WithParamInterface<BurnCase> {};

TEST_P(VideoBurnOf, TheRecordedDiscPassesTheReadersAndRipsTheSource) {
  const BurnCase& c = GetParam();
  burnerWith("cd-r");
  const std::vector<std::uint8_t> source = video_test::readFile(fixture(c.file));
  ASSERT_EQ(burn(c.super, fixture(c.file)), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(video_test::readFile(fixture(c.file)), source) << "the source is only read";
  ASSERT_FALSE(log_.progress.empty());
  EXPECT_EQ(log_.progress.back().first, log_.progress.back().second) << "progress reaches the total";

  const auto cue = recorded();
  ASSERT_FALSE(cue.empty());
  const std::string cueText = runTool("cat '" + cue.string() + "'");
  EXPECT_NE(cueText.find("TRACK 02 MODE2/2352"), std::string::npos) << cueText;
  EXPECT_NE(cueText.find("INDEX 00"), std::string::npos) << cueText;
  const std::string dir = cue.parent_path().string();
  const std::string name = cue.filename().string();

  const std::string info = runTool("cd '" + dir + "' && vcd-info -B --cue-file='" + name + "' -f -I -E -T");
  EXPECT_NE(info.find(c.detected), std::string::npos) << info;
  EXPECT_NE(info.find("Album VideoCD"), std::string::npos) << info;
  EXPECT_EQ(info.find("WARN"), std::string::npos) << info;
  EXPECT_NE(info.find("entries: 1"), std::string::npos) << info;

  const std::string toc = runTool("cd '" + dir + "' && cd-info --no-header --no-device-info --cue-file '" + name + "'");
  EXPECT_NE(toc.find("CD-ROM Track List (1 - 2)"), std::string::npos) << toc;

  const std::string rip = runTool("cd '" + dir + "' && vcdxrip --cue-file='" + name + "'");
  const auto ripped = cue.parent_path() / "avseq01.mpg";
  ASSERT_TRUE(std::filesystem::exists(ripped)) << rip;
  EXPECT_EQ(video_test::readFile(ripped.string()), source);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, VideoBurnOf,
                         ::testing::Values(BurnCase{"vcd-pal.mpg", false, "VCD 2.0"},
                                           BurnCase{"svcd-ntsc.mpg", true, "SVCD"}),
                         [](const auto& p) { return std::string(p.param.super ? "svcd" : "vcd"); });

TEST_F(VideoBurn, ATestBurnLeavesTheDiscBlank) {
  burnerWith("cd-r");
  ASSERT_EQ(burn(false, fixture("vcd-ntsc.mpg"), 1), EMBERLINE_OK) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(VideoBurn, BadSourcesAndUnsuitedMediaAreRefusedBeforeAnyWrite) {
  burnerWith("cd-r");
  EXPECT_NE(burn(false, fixture("svcd-pal.mpg")), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("MPEG-2 stream given for a Video CD"), std::string::npos) << out_.text;
  EXPECT_NE(burn(true, fixture("text.txt")), EMBERLINE_OK);
  EXPECT_NE(burn(false, ""), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("no MPEG file named"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());

  ASSERT_EQ(burn(false, fixture("vcd-pal.mpg")), EMBERLINE_OK) << out_.text;
  EXPECT_NE(burn(false, fixture("vcd-pal.mpg")), EMBERLINE_OK) << "the disc is no longer blank";
  EXPECT_NE(std::string(out_.text).find("closed"), std::string::npos) << out_.text;
}

TEST_F(VideoBurn, ADvdIsRefused) {
  burnerWith("dvd-r");
  EXPECT_NE(burn(false, fixture("vcd-pal.mpg")), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("the disc in the drive is a DVD"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(VideoBurn, CancelEndsARealtimeBurnWithinASecond) {
  burnerWith("cd-r,realtime=1,speeds=176");  // 1x: the burn takes seconds
  std::atomic<std::chrono::steady_clock::rep> cancelledAt{0};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    cancelledAt = std::chrono::steady_clock::now().time_since_epoch().count();
    Emberline_CdvdWriter_Cancel(writer_);
  });
  const uint8_t code = burn(true, fixture("svcd-pal.mpg"));
  const auto returnedAt = std::chrono::steady_clock::now();
  canceller.join();
  EXPECT_EQ(code, EMBERLINE_E_CANCELLED) << out_.text;
  const std::chrono::steady_clock::time_point cancelTime{std::chrono::steady_clock::duration(cancelledAt.load())};
  EXPECT_LT(returnedAt - cancelTime, std::chrono::seconds(1));
  EXPECT_NE(discInformation()[2], 1) << "no session left incomplete";
}

}  // namespace
}  // namespace emberline::test
