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
  /// Waits out a slow answer of @p duration, or less once the host has
  /// cancelled: from then on the drive answers without its slowness, so
  /// what the host does after a cancel (releasing the tray, closing what
  /// was opened) is not held up by it.
  void pause(std::chrono::microseconds duration) {
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, duration, [this] { return hurried_; });
  }
  void interrupt() {
    {
      std::lock_guard lock(mutex_);
      raised_ = true;
      hurried_ = true;
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
  bool hurried_ = false;  ///< set by the first interrupt, kept for the object's life
};

}  // namespace emberline::virt
