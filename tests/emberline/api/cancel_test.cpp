// Cancelling a long realtime write from another thread.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "api/device_call.h"
#include "mmc/recording_commands.h"
#include "virtual_writer_fixture.h"

namespace emberline::test {
namespace {

using Clock = std::chrono::steady_clock;
using Cancel = VirtualWriterTest;

// Writes blocks at 1x the way a recording call would, until the run ends or fails.
Status writeForAWhile(DeviceObject& device, int commands) {
  std::vector<uint8_t> data(2048 * 16, 0);
  for (int i = 0; i < commands; ++i) {
    if (device.cancelRequested()) return fail(ErrorKind::Cancelled, "cancelled");
    EMBERLINE_TRY(mmc::write10(device.transport(), i * 16, 16, data));
  }
  return {};
}

TEST_F(Cancel, RealtimeWriteEndsSoonAfterCancelFromAnotherThread) {
  EmberlineHandle h = openWith("cd-r,realtime=1,speeds=176");
  auto device = findDevice(h);
  ASSERT_TRUE(device);
  CallOutputs out;
  std::atomic<bool> running{false};
  Clock::time_point ended;
  std::uint8_t code = EMBERLINE_OK;
  std::thread writer([&] {
    // 64 commands of 16 blocks at 75 blocks a second: about 14 s uncancelled.
    code =
        runDeviceCall(h, ErrorOutputs{out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure}, [&](DeviceObject& d) {
          running.store(true);
          return writeForAWhile(d, 64);
        });
    ended = Clock::now();
  });
  while (!running.load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto cancelledAt = Clock::now();
  EXPECT_EQ(Emberline_CdvdWriter_Cancel(h), EMBERLINE_OK);
  writer.join();
  EXPECT_LT(ended - cancelledAt, std::chrono::seconds(1));
  EXPECT_EQ(code, EMBERLINE_E_CANCELLED);
  EXPECT_STREQ(out.text, "cancelled");
  EXPECT_EQ(out.failure.exceptionCode, EMBERLINE_E_CANCELLED);
}

TEST_F(Cancel, CancelWithoutARunningCallLeavesTheNextCallAlone) {
  EmberlineHandle h = openWith("cd-r");
  ASSERT_EQ(Emberline_CdvdWriter_Cancel(h), EMBERLINE_OK);
  CallOutputs out;
  EXPECT_EQ(Emberline_CdvdWriter_TestUnitReady(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
            EMBERLINE_OK)
      << out.text;
}

}  // namespace
}  // namespace emberline::test
