#pragma once
/// @file
/// Sends an image file to the disk while the medium is being recorded, not
/// all at the close: the finishing flush then has only the last stretch to
/// write, and the page cache never holds more than a few windows of a disc.

#include <cstdint>

namespace emberline::virt {

class ImageWriteBehind {
 public:
  /// Bytes [`from`, `to`) of the file behind `fd` have just been written.
  /// Writes that run on from the last one move the window; writes elsewhere
  /// (an overwrite, a later session's start) are left to the final flush.
  /// Failures are left to that flush too, which reports them.
  void written(int fd, std::int64_t from, std::int64_t to);

 private:
  static constexpr std::int64_t kWindow = 16 << 20;

  std::int64_t end_ = 0;       ///< where the file's front-to-back writing has got to
  std::int64_t started_ = 0;   ///< bytes before this have been sent to the disk
  std::int64_t runStart_ = 0;  ///< where the current front-to-back run began
};

}  // namespace emberline::virt
