#pragma once
// Process-wide state of the library between Emberline_StartUp and
// Emberline_ShutDown: the live objects and the virtual writers.

#include <atomic>
#include <mutex>

#include "api/object_table.h"
#include "core/result.h"

namespace emberline {

class LibraryState {
 public:
  static LibraryState& instance();

  bool started() const { return started_.load(); }
  /// Builds the virtual writers from the environment; fails on a bad configuration.
  Status start();
  /// Destroys every object, then finishes the virtual writers' images.
  void shutDown();

  ObjectTable& objects() { return objects_; }

 private:
  std::atomic<bool> started_{false};
  std::mutex transitionMutex_;  ///< one start-up or shut-down at a time
  ObjectTable objects_;
};

}  // namespace emberline
