#include "video/mpeg_file_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace emberline::video {

Result<MpegFileInput> MpegFileInput::open(const std::string& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status))
    return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": the file does not exist", ENOENT));
  if (std::filesystem::is_directory(status))
    return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": it is a folder, not a file", EISDIR));
  // Opened without waiting: a FIFO with no writer would block the open for
  // good, and neither a cancel nor a signal can cut that short. What is
  // opened is then looked at itself, so it cannot be swapped in between.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int err = errno;
    return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": " + std::strerror(err), err));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail(Error::fromErrno(
        ErrorKind::File, "cannot read " + path + ": it is not a regular file (a device, FIFO or socket)", EINVAL));
  }
  // Reads of a regular file never wait, so the flag may stay.
  MpegFileInput input;
  input.path_ = path;
  input.file_.reset(::fdopen(fd, "rb"));
  if (!input.file_) {
    const int err = errno;
    ::close(fd);
    return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": " + std::strerror(err), err));
  }
  input.size_ = static_cast<std::uint64_t>(info.st_size);
  input.window_.resize(kWindowSize);
  return input;
}

MpegFileInput MpegFileInput::ofBytes(std::span<const std::uint8_t> bytes, const std::string& name) {
  MpegFileInput input;
  input.path_ = name;
  input.memory_ = bytes;
  input.size_ = bytes.size();
  input.window_.resize(kWindowSize);
  return input;
}

Status MpegFileInput::fill(std::size_t count) {
  if (count > kWindowSize) count = kWindowSize;
  if (end_ - begin_ >= count) return {};
  if (begin_ > 0) {
    std::memmove(window_.data(), window_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  while (end_ < count) {
    if (!file_) {
      // Bytes in memory go through the same window, so both kinds of input
      // behave alike at its edges.
      const std::uint64_t read = position_ + (end_ - begin_);
      const std::size_t got = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize - end_, size_ - read));
      if (got > 0) std::memcpy(window_.data() + end_, memory_.data() + read, got);
      end_ += got;
      break;
    }
    const std::size_t got = std::fread(window_.data() + end_, 1, kWindowSize - end_, file_.get());
    end_ += got;
    if (got == 0) {
      if (std::ferror(file_.get())) {
        const int err = errno;
        return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path_ + ": " + std::strerror(err), err));
      }
      break;  // end of file
    }
  }
  return {};
}

void MpegFileInput::advance(std::size_t count) {
  if (count > end_ - begin_) count = end_ - begin_;
  begin_ += count;
  position_ += count;
}

}  // namespace emberline::video
