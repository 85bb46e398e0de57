#include "platform/termination_signals.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

using ondrelle::platform::TerminationSignals;

namespace {

bool WaitFor(const std::atomic<int>& value) {
  for (int i = 0; i < 200 && value.load() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return value.load() != 0;
}

}  // namespace

TEST(TerminationSignals, TheFirstSignalReachesTheCallbackOnItsOwnThreadAndTheProcessGoesOn) {
  for (int number : {SIGINT, SIGTERM, SIGHUP}) {
    std::atomic<int> seen{0};
    std::thread::id where;
    {
      TerminationSignals watch([&](int signal) {
        where = std::this_thread::get_id();
        seen = signal;
      });
      std::raise(number);
      ASSERT_TRUE(WaitFor(seen)) << number;
      EXPECT_EQ(seen.load(), number);
      EXPECT_EQ(watch.Received(), number);
      EXPECT_NE(where, std::this_thread::get_id());
    }
  }
}

// A signal sent to the process and again to its group (as `timeout` does)
// is one request; only a later or a third signal means "stop now".
TEST(TerminationSignalsDeathTest, OnlyALaterOrAThirdSignalEndsTheProcessAtOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  using std::chrono::milliseconds;
  EXPECT_EXIT(
      {
        std::atomic<int> calls{0};
        TerminationSignals watch([&](int) { ++calls; }, milliseconds(2000));
        std::raise(SIGTERM);
        std::raise(SIGINT);
        std::this_thread::sleep_for(milliseconds(200));
        std::exit(calls.load() == 1 && watch.Received() == SIGTERM ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(
      {
        TerminationSignals watch([](int) {}, milliseconds(2000));
        std::raise(SIGTERM);
        std::raise(SIGTERM);
        std::raise(SIGHUP);
        std::this_thread::sleep_for(std::chrono::seconds(5));
        std::exit(0);
      },
      ::testing::ExitedWithCode(128 + SIGHUP), "");
  EXPECT_EXIT(
      {
        std::atomic<int> seen{0};
        TerminationSignals watch([&](int signal) { seen = signal; }, milliseconds(100));
        std::raise(SIGTERM);
        WaitFor(seen);
        std::this_thread::sleep_for(milliseconds(300));
        std::raise(SIGINT);
        std::this_thread::sleep_for(std::chrono::seconds(5));
        std::exit(0);
      },
      ::testing::ExitedWithCode(128 + SIGINT), "");
}
