#pragma once
// The requests to stop that reach a process from outside: SIGINT (Ctrl+C),
// SIGTERM and SIGHUP.

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

namespace ondrelle::platform {

/// While it lives, the first SIGINT, SIGTERM or SIGHUP calls `onFirst` with
/// the signal's number on a watcher thread of its own (never inside the
/// signal handler), so the callee may take locks and call libraries.
///
/// Signals that come together are one request: `timeout`, a terminal's
/// Ctrl+C or a service manager may deliver the same stop to the process
/// and again to its group a moment later. So a second signal ends the
/// process at once (status 128 + its number) only when it comes more than
/// `together` after the first; a third always does.
/// One instance at a time; the previous handlers return when it ends.
class TerminationSignals {
 public:
  static constexpr std::chrono::milliseconds kTogether{2000};

  explicit TerminationSignals(std::function<void(int)> onFirst, std::chrono::milliseconds together = kTogether);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  /// The first signal's number, or 0 while none has come.
  int Received() const { return received_.load(); }

  /// The exit status of a process ended by `signal`: 128 + its number.
  static int ExitStatusFor(int signal) { return 128 + signal; }

 private:
  void Watch();

  std::function<void(int)> onFirst_;
  std::atomic<int> received_{0};
  int pipe_[2] = {-1, -1};
  std::thread watcher_;
};

}  // namespace ondrelle::platform
