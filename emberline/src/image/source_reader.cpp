#include "image/source_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace emberline::image {

namespace {

Error changedSize(const std::string& path, std::uint64_t expected, std::uint64_t now) {
  return Error::make(ErrorKind::File, path + " changed size since it was added (" + std::to_string(expected) +
                                          " bytes then, " + std::to_string(now) + " now); the image would be corrupt");
}

}  // namespace

SourceReader::~SourceReader() {
  close();
}

void SourceReader::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  path_.clear();
}

Status SourceReader::open(const std::string& path, std::uint64_t expectedBytes) {
  close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path + ": " + std::strerror(err), err));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || static_cast<std::uint64_t>(info.st_size) != expectedBytes) {
    ::close(fd);
    return fail(changedSize(path, expectedBytes, static_cast<std::uint64_t>(info.st_size)));
  }
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  path_ = path;
  return {};
}

Status SourceReader::read(std::string_view path, std::uint64_t expectedBytes, std::uint64_t offset,
                          std::span<std::uint8_t> out) {
  if (fd_ < 0 || path_ != path) EMBERLINE_TRY(open(std::string(path), expectedBytes));
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      close();
      return fail(
          Error::fromErrno(ErrorKind::File, "cannot read " + std::string(path) + ": " + std::strerror(err), err));
    }
    if (got == 0) {
      close();
      return fail(changedSize(std::string(path), expectedBytes, offset + done));
    }
    done += static_cast<std::size_t>(got);
  }
  return {};
}

}  // namespace emberline::image
