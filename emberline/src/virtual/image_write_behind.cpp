#include "virtual/image_write_behind.h"

#include <fcntl.h>

namespace emberline::virt {

void ImageWriteBehind::written(int fd, std::int64_t from, std::int64_t to) {
  if (from != end_) {
    // The writing jumped: start counting again from wherever it runs on now.
    started_ = from;
    runStart_ = from;
  }
  end_ = to;
  while (end_ - started_ >= kWindow) {
    // Start the window just written, then wait for the one before it and let
    // it leave the cache: at most two windows are in flight, and the disk
    // works while the drive makes the next.
    ::sync_file_range(fd, started_, kWindow, SYNC_FILE_RANGE_WRITE);
    if (started_ - runStart_ >= kWindow) {  // only a window this run started is waited for
      const std::int64_t previous = started_ - kWindow;
      ::sync_file_range(fd, previous, kWindow,
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
      ::posix_fadvise(fd, previous, kWindow, POSIX_FADV_DONTNEED);
    }
    started_ += kWindow;
  }
}

}  // namespace emberline::virt
