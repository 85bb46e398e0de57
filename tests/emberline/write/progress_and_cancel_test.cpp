// Progress reports, cancelling a running recording and drive failures.

#include <atomic>
#include <chrono>
#include <thread>

#include "emberline/write/recording_fixture.h"

namespace emberline::test {
namespace {

class RunningRecording : public RecordingTest {
 protected:
  uint8_t taoTree(EmberlineHandle tree) {
    return Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                    &out_.failure, tree, 1, 0, 0, 1, 5);
  }
};

TEST_F(RunningRecording, ProgressCountsUpToTheImageSizeAndBufferIsReported) {
  burnerWith("cd-r");
  auto tree = treeOf(makeSources("p", {3 * 1024 * 1024, 1000}), 0);
  uint32_t high = 0;
  const uint64_t size = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high) | (uint64_t{high} << 32);
  ASSERT_EQ(taoTree(tree), EMBERLINE_OK) << out_.text;

  ASSERT_FALSE(log_.progress.empty());
  uint64_t previous = 0;
  for (const auto& [total, done] : log_.progress) {
    EXPECT_EQ(total, size);
    EXPECT_GT(done, previous);
    previous = done;
  }
  EXPECT_EQ(log_.progress.back().second, size);
  EXPECT_GE(log_.progress.size(), size / (32 * 2048));
  EXPECT_GE(log_.bufferReports, 2) << "about one report per megabyte";
  EXPECT_LE(log_.bufferReports, 4);
  EXPECT_EQ(log_.lastBufferSize, 2048u * 1024);
}

TEST_F(RunningRecording, CancelEndsARealtimeWriteQuicklyAndLeavesTheTrackClosed) {
  burnerWith("cd-r,realtime=1");
  auto tree = treeOf(makeSources("c", {8 * 1024 * 1024}), 0);
  std::atomic<std::chrono::steady_clock::rep> cancelledAt{0};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    cancelledAt = std::chrono::steady_clock::now().time_since_epoch().count();
    Emberline_CdvdWriter_Cancel(writer_);
  });
  const uint8_t code = taoTree(tree);
  const auto returnedAt = std::chrono::steady_clock::now();
  canceller.join();
  EXPECT_EQ(code, EMBERLINE_E_CANCELLED) << out_.text;
  const std::chrono::steady_clock::time_point cancelTime{std::chrono::steady_clock::duration(cancelledAt.load())};
  EXPECT_LT(returnedAt - cancelTime, std::chrono::seconds(1)) << "cancel must end the call within a second";

  const auto info = discInformation();
  EXPECT_NE(info[1], 0) << "something was written";
  EXPECT_NE(info[2], 1) << "no session left incomplete";
  ASSERT_EQ(eject(), EMBERLINE_OK);
  const auto cues = images(".cue");
  ASSERT_EQ(cues.size(), 1u);
  const auto iso = isoFromBin(images(".bin").at(0));
  EXPECT_NE(runTool("isoinfo -d -i " + iso.string()).find("WRITE_TEST"), std::string::npos)
      << "the part written is readable";
}

TEST_F(RunningRecording, WriteErrorGivesAFailureWithTheDriveSense) {
  burnerWith("cd-r,fault=write-error@100");
  const uint8_t code = taoTree(treeOf(makeSources("e", {1024 * 1024}), 0));
  EXPECT_EQ(code, EMBERLINE_E_CHECK_CONDITION);
  EXPECT_EQ(out_.failure.exceptionCode, code);
  EXPECT_EQ(out_.failure.senseKey, 3) << "medium error";
  EXPECT_NE(std::string(out_.text).find("WRITE"), std::string::npos) << out_.text;
  ASSERT_FALSE(log_.progress.empty());
  EXPECT_LT(log_.progress.back().second, 1024u * 1024) << "no progress past the failing block";
}

TEST_F(RunningRecording, ATreeHandleThatIsNoTreeIsRefused) {
  burnerWith("cd-r");
  EXPECT_EQ(taoTree(writer_), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("file tree"), std::string::npos) << out_.text;
  EXPECT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(nullptr, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, nullptr, 1, 0, 0, 1, 5),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_TRUE(discBlank());
}

}  // namespace
}  // namespace emberline::test
