#include "platform/termination_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <ctime>

namespace ondrelle::platform {

namespace {

constexpr std::array<int, 3> kSignals = {SIGINT, SIGTERM, SIGHUP};

// What the handler may touch: plain values, written before it is installed.
volatile sig_atomic_t gWriteEnd = -1;
std::atomic<int> gCount{0};
// When the first signal came (monotonic nanoseconds); kNotYet until its
// handler has noted it.
constexpr std::int64_t kNotYet = -1;
std::atomic<std::int64_t> gFirstAt{kNotYet};
std::int64_t gTogetherNs = 0;
std::array<struct sigaction, kSignals.size()> gPrevious{};

static_assert(std::atomic<std::int64_t>::is_always_lock_free, "the handler reads the time without a lock");

// clock_gettime is async-signal-safe.
std::int64_t MonotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

void OnSignal(int number) {
  const int before = gCount.fetch_add(1);
  const std::int64_t now = MonotonicNs();
  if (before > 0) {
    // A second signal close behind the first repeats the same request (a
    // process group's copy of it) and is let go; a later or a third one
    // means the user will not wait for the cancel.
    const std::int64_t first = gFirstAt.load();
    const bool together = before == 1 && (first == kNotYet || now - first <= gTogetherNs);
    if (!together) _exit(TerminationSignals::ExitStatusFor(number));
    return;
  }
  gFirstAt = now;
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(number);
  if (gWriteEnd >= 0) (void)!::write(gWriteEnd, &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void(int)> onFirst, std::chrono::milliseconds together)
    : onFirst_(std::move(onFirst)) {
  if (::pipe2(pipe_, O_CLOEXEC) != 0) return;  // without a pipe the defaults stay: a signal ends the process
  gCount = 0;
  gFirstAt = kNotYet;
  gTogetherNs = std::chrono::duration_cast<std::chrono::nanoseconds>(together).count();
  gWriteEnd = pipe_[1];
  watcher_ = std::thread([this] { Watch(); });
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &action, &gPrevious[i]);
}

TerminationSignals::~TerminationSignals() {
  if (pipe_[1] < 0) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &gPrevious[i], nullptr);
  const unsigned char stop = 0;
  while (::write(pipe_[1], &stop, 1) < 0 && errno == EINTR) {
  }
  watcher_.join();
  gWriteEnd = -1;
  ::close(pipe_[0]);
  ::close(pipe_[1]);
}

void TerminationSignals::Watch() {
  for (;;) {
    unsigned char number = 0;
    const ssize_t got = ::read(pipe_[0], &number, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || number == 0) return;
    received_ = number;
    if (onFirst_) onFirst_(number);
  }
}

}  // namespace ondrelle::platform
