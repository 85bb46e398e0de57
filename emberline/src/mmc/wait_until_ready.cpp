#include "mmc/wait_until_ready.h"

#include <algorithm>
#include <thread>

#include "mmc/command_runner.h"
#include "mmc/unit_commands.h"

namespace emberline::mmc {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint8_t kNotReady = 0x02;
constexpr std::uint8_t kUnitAttention = 0x06;
constexpr std::uint8_t kNotReadyAsc = 0x04;
constexpr std::uint8_t kMediumChanged = 0x28;
constexpr std::uint8_t kReset = 0x29;
// Sleeping in slices keeps a cancel from waiting out a whole interval.
constexpr std::chrono::milliseconds kSleepSlice{20};

bool isTransient(const SenseData& s) {
  if (s.key != kNotReady || s.asc != kNotReadyAsc) return false;
  return s.ascq == 0x01 || s.ascq == 0x04 || s.ascq == 0x07 || s.ascq == 0x08;
}

bool isCancelled(const WaitOptions& options) { return options.cancelled && options.cancelled(); }

Unexpected cancelledError() { return fail(ErrorKind::Cancelled, "waiting for the drive was cancelled"); }

}  // namespace

Status waitUntilReady(ScsiTransport& transport, const WaitOptions& options) {
  const auto deadline = Clock::now() + options.limit;
  bool mediumChangeSeen = false;
  bool resetSeen = false;
  auto pause = std::min(options.firstInterval, options.interval);
  for (;;) {
    if (isCancelled(options)) return cancelledError();
    auto readiness = testUnitReady(transport);
    if (!readiness.ok()) return fail(std::move(readiness).error());
    if (readiness->ready) return {};
    SenseData sense = readiness->sense;
    if (sense.key == 0 && sense.asc == 0) {
      // No sense came with the status: ask for it, as the standard's polling loop does.
      auto report = requestSense(transport);
      if (!report.ok()) return fail(std::move(report).error());
      sense = report->sense;
    }
    if (sense.key == kUnitAttention && (sense.asc == kMediumChanged || sense.asc == kReset)) {
      bool& seen = sense.asc == kMediumChanged ? mediumChangeSeen : resetSeen;
      if (!seen) {
        seen = true;  // reporting the attention clears it, so poll again at once
        continue;
      }
    }
    if (!isTransient(sense)) return fail(senseError("TEST UNIT READY", sense));
    if (Clock::now() >= deadline) {
      Error e = senseError("TEST UNIT READY", sense);
      e.kind = ErrorKind::NotReady;
      e.message = transport.describe() + " did not become ready within " +
                  std::to_string(options.limit.count()) + " ms (" + e.message + ")";
      return fail(std::move(e));
    }
    const auto wakeUp = std::min(Clock::now() + pause, deadline);
    pause = std::min(pause * 2, options.interval);
    while (Clock::now() < wakeUp) {
      if (isCancelled(options)) return cancelledError();
      const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(wakeUp - Clock::now());
      std::this_thread::sleep_for(std::clamp(remaining, std::chrono::milliseconds(1), kSleepSlice));
    }
  }
}

}  // namespace emberline::mmc
