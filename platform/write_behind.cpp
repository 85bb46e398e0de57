#include "platform/write_behind.h"

#include <fcntl.h>

namespace ondrelle::platform {

void WriteBehind::Written(std::int64_t bytes) {
  written_ += bytes;
  while (written_ - started_ >= kWindow) {
    // Start the window just written, then wait for the one before it and drop it from the cache:
    // at most two windows are in flight, and the disk works while the next is being made.
    ::sync_file_range(handle_, started_, kWindow, SYNC_FILE_RANGE_WRITE);
    if (started_ >= kWindow) {
      const std::int64_t previous = started_ - kWindow;
      ::sync_file_range(handle_, previous, kWindow,
                        SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
      ::posix_fadvise(handle_, previous, kWindow, POSIX_FADV_DONTNEED);
    }
    started_ += kWindow;
  }
}

}  // namespace ondrelle::platform
