#pragma once
// Sends a long file being written to the disk while it is written, not all
// at the end: the system keeps a window in flight, and what has reached the
// disk leaves the page cache.

#include <cstdint>

namespace ondrelle::platform {

class WriteBehind {
 public:
  /// `handle` is an open file written from its start, front to back.
  explicit WriteBehind(std::int32_t handle) : handle_(handle) {}

  /// `bytes` more were written after the ones reported before. Failures are
  /// left to the flush that ends the file, which reports them.
  void Written(std::int64_t bytes);

 private:
  static constexpr std::int64_t kWindow = 32 << 20;

  std::int32_t handle_;
  std::int64_t written_ = 0;
  std::int64_t started_ = 0;  ///< bytes whose writing has been started
};

}  // namespace ondrelle::platform
