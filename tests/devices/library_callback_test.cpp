#include "devices/library_callback.h"

#include <gtest/gtest.h>

#include <vector>

#include "devices/device_list.h"
#include "log/callback_eventer.h"

using namespace ondrelle;

namespace {

class CallbackFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    LastProgress = 0;
    CallBackEventer().OnProgress = [this](TsbCallBackEventer&, int p) { progress.push_back(p); };
    CallBackEventer().OnBufferStatus = [this](TsbCallBackEventer&, int p) { buffer.push_back(p); };
  }
  void TearDown() override {
    CallBackEventer().OnProgress = nullptr;
    CallBackEventer().OnBufferStatus = nullptr;
  }
  void Progress(std::uint64_t total, std::uint64_t done) { EmberlineCallBack(12, nullptr, &total, &done); }
  void Buffer(std::uint32_t size, std::uint32_t freePart) { EmberlineCallBack(13, nullptr, &size, &freePart); }

  std::vector<int> progress;
  std::vector<int> buffer;
};

}  // namespace

TEST_F(CallbackFixture, ProgressPassesEachWholePercentOnce) {
  Progress(1000, 0);  // 0 equals the reset value: nothing new
  Progress(1000, 10);
  Progress(1000, 15);
  Progress(1000, 19);
  Progress(1000, 20);
  Progress(1000, 1000);
  EXPECT_EQ(progress, (std::vector<int>{1, 2, 100}));
  EXPECT_EQ(LastProgress, 100);
}

TEST_F(CallbackFixture, ProgressOfAZeroTotalPassesNothing) {
  Progress(0, 5);
  EXPECT_TRUE(progress.empty());
  EXPECT_EQ(LastProgress, 0);
}

TEST_F(CallbackFixture, ProgressOfLargeDiscsDoesNotOverflow) {
  const std::uint64_t total = 9'000'000'000ull;  // a dual-layer disc
  Progress(total, total / 2);
  EXPECT_EQ(progress, (std::vector<int>{50}));
}

TEST_F(CallbackFixture, BufferFillIsTheUsedPartAndAZeroSizePassesNothing) {
  Buffer(0, 0);
  Buffer(1000, 250);
  Buffer(1000, 1000);
  Buffer(1000, 0);
  EXPECT_EQ(buffer, (std::vector<int>{75, 0, 100}));
}

TEST_F(CallbackFixture, BufferFillOfLargeBuffersAndOverfullFreeCountsStaysInRange) {
  Buffer(64u << 20, 16u << 20);  // 64 MiB buffer: free × 100 does not fit 32 bits
  Buffer(1000, 5000);            // a drive reporting more free than size
  EXPECT_EQ(buffer, (std::vector<int>{75, 0}));
}

TEST_F(CallbackFixture, OtherNumbersAndMissingParametersAreIgnored) {
  std::uint64_t total = 10, done = 5;
  for (std::uint32_t number : {6u, 9u, 11u, 14u, 200u}) EmberlineCallBack(number, nullptr, &total, &done);
  EmberlineCallBack(12, nullptr, nullptr, nullptr);
  EmberlineCallBack(13, nullptr, nullptr, nullptr);
  // The number is a byte in a 32-bit slot: 0x10C is 12.
  EmberlineCallBack(0x10C, nullptr, &total, &done);
  EXPECT_EQ(progress, std::vector<int>{50});
  EXPECT_TRUE(buffer.empty());
}

TEST_F(CallbackFixture, ACancelledScanProbesNothing) {
  TsbDeviceList devices;
  devices.TransportType = TsbTransportType::ttSpti;
  devices.Cancelled = true;
  EmberlineCallBack(10, &devices, nullptr, const_cast<char*>("CdRom16"));
  EXPECT_EQ(devices.Count(), 0);
}

TEST_F(CallbackFixture, AWritersOwnProgressStateKeepsItsBurnApartFromOthers) {
  TsbProgressState first, second;
  std::uint64_t total = 100, done = 40;
  EmberlineCallBack(12, &first, &total, &done);
  EmberlineCallBack(12, &second, &total, &done);  // the same percentage, but another burn's news
  EmberlineCallBack(12, &first, &total, &done);
  EXPECT_EQ(progress, (std::vector<int>{40, 40}));
  EXPECT_EQ(first.LastProgress, 40);
  EXPECT_EQ(second.LastProgress, 40);
  EXPECT_EQ(LastProgress, 0) << "the process-wide state is left alone";
}

TEST_F(CallbackFixture, ByteCountsPassAtMostTenTimesASecondButTheFirstAndTheLastAlways) {
  std::vector<std::pair<std::uint64_t, std::uint64_t>> bytes;
  CallBackEventer().OnProgressBytes = [&bytes](TsbCallBackEventer&, std::uint64_t total, std::uint64_t done) {
    bytes.emplace_back(total, done);
  };
  TsbProgressState state;
  auto report = [&state](std::uint64_t total, std::uint64_t done) { EmberlineCallBack(12, &state, &total, &done); };
  // A writer reports every few blocks: far more often than a second's tenth.
  for (std::uint64_t done = 0; done < 1000; ++done) report(1000, done);
  report(1000, 1000);
  CallBackEventer().OnProgressBytes = nullptr;
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_LT(bytes.size(), 20u);
  EXPECT_EQ(bytes.front(), std::make_pair(std::uint64_t{1000}, std::uint64_t{0}));
  EXPECT_EQ(bytes.back(), std::make_pair(std::uint64_t{1000}, std::uint64_t{1000}));
  EXPECT_EQ(state.LastProgress, 100);
}

// A source a data tree leaves out (a FIFO, a device, a link back up) is
// told as a warning naming it and the reason; nothing goes missing silently.
TEST_F(CallbackFixture, ASourceLeftOutOfADataTreeIsAWarning) {
  std::vector<QString> warnings;
  CallBackEventer().OnWarning = [&warnings](TsbCallBackEventer&, const QString& text) { warnings.push_back(text); };
  char path[] = "/music/pipe";
  char reason[] = "not a regular file or folder: /home/u/music/pipe";
  EmberlineCallBack(kCallbackNameIgnored, nullptr, path, reason);
  EmberlineCallBack(kCallbackNameIgnored, nullptr, path, nullptr);
  EmberlineCallBack(kCallbackNameIgnored, nullptr, nullptr, reason);  // nothing to name: nothing said
  CallBackEventer().OnWarning = nullptr;
  ASSERT_EQ(warnings.size(), 2u);
  EXPECT_EQ(warnings[0],
            QStringLiteral("/music/pipe is left out: it is not a regular file or folder: /home/u/music/pipe"));
  EXPECT_EQ(warnings[1], QStringLiteral("/music/pipe is left out: it cannot be written to a disc"));
}
