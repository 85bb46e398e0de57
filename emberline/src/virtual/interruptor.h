#pragma once
/// @file
/// A sleep that another thread can cut short: how a realtime write is
/// cancelled within a fraction of a second.

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace emberline::virt {

class Interruptor {
 public:
  /// Sleeps for `duration`; false when interrupted. An interrupt raised while
  /// nothing sleeps is kept for the next sleep, then consumed.
  bool sleepFor(std::chrono::microseconds duration) {
    std::unique_lock lock(mutex_);
    bool interrupted = wake_.wait_for(lock, duration, [this] { return raised_; });
    raised_ = false;
    return !interrupted;
  }
  void interrupt() {
    {
      std::lock_guard lock(mutex_);
      raised_ = true;
    }
    wake_.notify_all();
  }
  void clear() {
    std::lock_guard lock(mutex_);
    raised_ = false;
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  bool raised_ = false;
};

}  // namespace emberline::virt
