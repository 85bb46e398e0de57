#include "video/mpeg_file_input.h"

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
  MpegFileInput input;
  input.path_ = path;
  errno = 0;
  input.file_.reset(std::fopen(path.c_str(), "rb"));
  if (!input.file_) {
    const int err = errno;
    return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": " + std::strerror(err), err));
  }
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": " + ec.message(), ec.value()));
  input.size_ = size;
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
