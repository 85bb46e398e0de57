// The closing steps against an idle virtual drive: its "in progress" answer
// must cost the host milliseconds, not a poll interval per answer.

#include <gtest/gtest.h>

#include <chrono>

#include "drive/drive.h"
#include "emberline/virtual/cdb.h"
#include "write/drive_steps.h"

namespace emberline::write {
namespace {

using namespace std::chrono_literals;

TEST(DriveClose, FlushAndClosesOfAnIdleVirtualDriveTakeMilliseconds) {
  vtest::DriveHarness h("dvd+r");
  h.waitReady();
  ASSERT_TRUE(h.send(vtest::write10(0, 16), vtest::Bytes(2048 * 16, 1)).good());
  Drive device(*h.transport);
  RecordingContext context{device, *h.transport, {}, {}, {}, std::chrono::minutes(1)};
  DriveSteps drive(context);
  const auto started = std::chrono::steady_clock::now();
  ASSERT_TRUE(drive.flushCache().ok());
  ASSERT_TRUE(drive.closeIfOpen(mmc::CloseFunction::Track, 1).ok());
  ASSERT_TRUE(drive.closeIfOpen(mmc::CloseFunction::Session, 0).ok());
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
  // Each step meets one "long write in progress" answer; fixed pauses of
  // even 50 ms would take 150 ms here.
  EXPECT_LT(took, 120ms);
  std::printf("flush and two closes: %lld ms\n", static_cast<long long>(took.count()));
}

}  // namespace
}  // namespace emberline::write
