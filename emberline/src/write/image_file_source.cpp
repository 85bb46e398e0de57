// Image files are read with plain POSIX calls: large files, no stream state.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "write/block_source.h"

namespace emberline::write {

namespace {

class ImageFileSource final : public BlockSource {
 public:
  ImageFileSource(int fd, std::string path, std::size_t blockSize, std::uint32_t blocks)
      : fd_(fd), path_(std::move(path)), blockSize_(blockSize), blocks_(blocks) {}
  ~ImageFileSource() override { ::close(fd_); }
  ImageFileSource(const ImageFileSource&) = delete;
  ImageFileSource& operator=(const ImageFileSource&) = delete;

  std::size_t blockSize() const override { return blockSize_; }
  std::uint32_t blockCount() const override { return blocks_; }
  std::string describe() const override { return "file " + path_; }

  Status read(std::span<std::uint8_t> out) override {
    std::size_t done = 0;
    while (done < out.size()) {
      const ssize_t got = ::read(fd_, out.data() + done, out.size() - done);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0)
        return fail(Error::fromErrno(ErrorKind::File, "cannot read " + path_ + ": " + std::strerror(errno), errno));
      if (got == 0) return fail(ErrorKind::File, "file " + path_ + " became shorter while it was being written");
      done += static_cast<std::size_t>(got);
    }
    return {};
  }

 private:
  int fd_;
  std::string path_;
  std::size_t blockSize_;
  std::uint32_t blocks_;
};

}  // namespace

Result<std::unique_ptr<BlockSource>> openImageFile(const std::string& path, std::size_t blockSize) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    const int err = errno;
    return fail(Error::fromErrno(ErrorKind::File, "cannot open " + path + ": " + std::strerror(err), err));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail(ErrorKind::File, path + " is not a regular file");
  }
  const auto bytes = static_cast<std::uint64_t>(info.st_size);
  if (bytes == 0 || bytes % blockSize != 0) {
    ::close(fd);
    return fail(ErrorKind::File, "file " + path + " holds " + std::to_string(bytes) + " bytes, not a whole number of " +
                                     std::to_string(blockSize) + "-byte sectors");
  }
  if (bytes / blockSize > std::numeric_limits<std::int32_t>::max()) {
    ::close(fd);
    return fail(ErrorKind::File, "file " + path + " is larger than any disc");
  }
  return std::unique_ptr<BlockSource>(
      std::make_unique<ImageFileSource>(fd, path, blockSize, static_cast<std::uint32_t>(bytes / blockSize)));
}

}  // namespace emberline::write
