#pragma once
// Process-wide state of the library between Emberline_StartUp and
// Emberline_ShutDown.

#include <atomic>

namespace emberline {

class LibraryState {
 public:
  static LibraryState& instance();

  bool started() const { return started_.load(); }
  void start();
  void shutDown();

 private:
  std::atomic<bool> started_{false};
};

}  // namespace emberline
