// A Video CD or Super Video CD source checked through the flat API without
// a writer: the same refusals as the burn, and the very disc length the
// burn lays out.

#include <atomic>
#include <string>

#include "emberline/video_source.h"
#include "emberline/write/recording_fixture.h"
#include "video_fixtures.h"

namespace emberline::test {
namespace {

using video_test::fixture;

class VideoSourceCall : public RecordingTest {
 protected:
  uint8_t check(const std::string& source, bool super, uint8_t* cancel = nullptr) {
    return Emberline_VideoCD_CheckSource(source.c_str(), super ? 1 : 0, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                         &facts_, cancel);
  }
  EmberlineVideoSourceFacts facts_{};
};

TEST_F(VideoSourceCall, DescribesTheStreamAndTheDiscItMakes) {
  startWith("none");
  ASSERT_EQ(check(fixture("vcd-pal.mpg"), false), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(facts_.systemVersion, 1);
  EXPECT_EQ(facts_.videoVersion, 1);
  EXPECT_EQ(facts_.width, 352);
  EXPECT_EQ(facts_.height, 288);
  EXPECT_EQ(facts_.frameRateNumerator, 25u);
  EXPECT_EQ(facts_.frameRateDenominator, 1u);
  EXPECT_NEAR(facts_.playingMilliseconds, 3000, 80);
  EXPECT_EQ(facts_.fileSize, std::filesystem::file_size(fixture("vcd-pal.mpg")));
  EXPECT_EQ(facts_.audioStreams, 1);
  EXPECT_GT(facts_.discSectors, facts_.mpegSectors);

  ASSERT_EQ(check(fixture("svcd-ntsc.mpg"), true), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(facts_.systemVersion, 2);
  EXPECT_EQ(facts_.width, 480);
  EXPECT_EQ(facts_.height, 480);
  EXPECT_EQ(facts_.frameRateNumerator, 30000u);
  EXPECT_EQ(facts_.frameRateDenominator, 1001u);
}

TEST_F(VideoSourceCall, RefusesWhatTheBurnRefusesAndStopsWhenCancelled) {
  startWith("none");
  EXPECT_EQ(check(fixture("svcd-pal.mpg"), false), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("MPEG-2 stream given for a Video CD"), std::string::npos) << out_.text;
  EXPECT_EQ(facts_.discSectors, 0u) << "a refused source describes nothing";
  EXPECT_EQ(check(fixture("vcd-pal.mpg"), true), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("MPEG-1 stream given for a Super Video CD"), std::string::npos) << out_.text;
  EXPECT_EQ(check(fixture("no-such-file.mpg"), false), EMBERLINE_E_FILE);
  EXPECT_EQ(check("", false), EMBERLINE_E_INVALID_ARGUMENT);

  uint8_t cancel = 0;
  std::atomic_ref<uint8_t>(cancel).store(1);
  EXPECT_EQ(check(fixture("svcd-pal.mpg"), true, &cancel), EMBERLINE_E_CANCELLED);
  std::atomic_ref<uint8_t>(cancel).store(0);
  EXPECT_EQ(check(fixture("svcd-pal.mpg"), true, &cancel), EMBERLINE_OK) << out_.text;
}

TEST_F(VideoSourceCall, TheSectorsItNamesAreThoseTheBurnNeeds) {
  startWith("none");
  ASSERT_EQ(check(fixture("vcd-pal.mpg"), false), EMBERLINE_OK) << out_.text;
  const uint32_t needed = facts_.discSectors;
  Emberline_ShutDown();
  started_ = false;
  // The largest blank disc (capacities go by 32 sectors) one sector short of it.
  const uint32_t capacity = (needed - 1) / 32 * 32;
  burnerWith("cd-r,capacity=" + std::to_string(capacity));
  EXPECT_NE(Emberline_CdvdWriter_VideoCD(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure,
                                         fixture("vcd-pal.mpg").c_str(), "Album VideoCD", 1, 1, 0, 1, 5),
            EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("needs " + std::to_string(needed) + " sectors but the disc has " +
                                        std::to_string(capacity) + " free"),
            std::string::npos)
      << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST(VideoSourceCallUnstarted, IsRefusedBeforeTheLibraryStarts) {
  char text[EMBERLINE_TEXT_SIZE] = {};
  uint32_t status = 0;
  EmberlineVideoSourceFacts facts{};
  EXPECT_EQ(Emberline_VideoCD_CheckSource(fixture("vcd-pal.mpg").c_str(), 0, text, EMBERLINE_TEXT_SIZE, &status, &facts,
                                          nullptr),
            EMBERLINE_E_NOT_STARTED);
}

}  // namespace
}  // namespace emberline::test
