#include "mmc/wait_until_ready.h"

#include <algorithm>
#include <thread>

#include "mmc/command_runner.h"
#include "mmc/unit_commands.h"
#include "transport/sense_codes.h"

namespace emberline::mmc {

namespace {

using Clock = std::chrono::steady_clock;

// Sleeping in slices keeps a cancel from waiting out a whole interval.
constexpr std::chrono::milliseconds kSleepSlice{20};

bool isTransient(const SenseData& s) {
  if (!sense::sameCondition(s, sense::kNotReady)) return false;
  return s.ascq == sense::kBecomingReady.ascq || s.ascq == sense::kFormatInProgress.ascq || sense::isBusy(s);
}

bool isCancelled(const WaitOptions& options) {
  return options.cancelled && options.cancelled();
}

Unexpected cancelledError() {
  return fail(ErrorKind::Cancelled, "waiting for the drive was cancelled");
}

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
    SenseData reported = readiness->sense;
    if (reported.key == 0 && reported.asc == 0) {
      // No sense came with the status: ask for it, as the standard's polling loop does.
      auto report = requestSense(transport);
      if (!report.ok()) return fail(std::move(report).error());
      reported = report->sense;
    }
    const bool mediumChanged = sense::sameCondition(reported, sense::kMediumChanged);
    if (mediumChanged || sense::sameCondition(reported, sense::kReset)) {
      bool& seen = mediumChanged ? mediumChangeSeen : resetSeen;
      if (!seen) {
        seen = true;  // reporting the attention clears it, so poll again at once
        continue;
      }
    }
    if (!isTransient(reported)) return fail(senseError("TEST UNIT READY", reported));
    if (Clock::now() >= deadline) {
      Error e = senseError("TEST UNIT READY", reported);
      e.kind = ErrorKind::NotReady;
      e.message = transport.describe() + " did not become ready within " + std::to_string(options.limit.count()) +
                  " ms (" + e.message + ")";
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
