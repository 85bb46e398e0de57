#pragma once
// What the fuzz targets need to hand their input to functions that read
// files: a file in memory with a path, and a scratch folder of the process's
// own, removed when the fuzzer ends normally.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>

namespace fuzz {

/// A file that lives in memory and is opened by path like any other.
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("fuzz-input", MFD_CLOEXEC)) {
    if (fd_ < 0) {
      std::perror("memfd_create");
      std::abort();
    }
    path_ = "/proc/self/fd/" + std::to_string(fd_);
  }
  ~MemoryFile() { ::close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  /// Replaces the contents with @p bytes and returns the path to open.
  const std::string& hold(std::span<const std::uint8_t> bytes) {
    if (::ftruncate(fd_, 0) != 0 || ::pwrite(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
      std::abort();
    return path_;
  }

 private:
  int fd_;
  std::string path_;
};

/// A folder of this process's own, in memory where the system offers it:
/// a target that writes files on every run is otherwise bound by the disk.
class ScratchFolder {
 public:
  ScratchFolder() {
    const std::filesystem::path base =
        ::access("/dev/shm", W_OK) == 0 ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path();
    std::string pattern = (base / "ondrelle-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("mkdtemp");
      std::abort();
    }
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

/// Reads little-endian fields off the front of the input; past its end it gives zeros.
class InputReader {
 public:
  explicit InputReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  bool empty() const { return bytes_.empty(); }
  std::uint8_t byte() {
    if (bytes_.empty()) return 0;
    const std::uint8_t b = bytes_.front();
    bytes_ = bytes_.subspan(1);
    return b;
  }
  // Each byte read in a statement of its own: the order of the operands of | is not fixed.
  std::uint32_t u16() {
    const std::uint32_t low = byte();
    return low | std::uint32_t{byte()} << 8;
  }
  std::uint32_t u32() {
    const std::uint32_t low = u16();
    return low | u16() << 16;
  }
  std::span<const std::uint8_t> take(std::size_t count) {
    const auto n = count < bytes_.size() ? count : bytes_.size();
    const auto out = bytes_.first(n);
    bytes_ = bytes_.subspan(n);
    return out;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

/// Stops the run with a message libFuzzer reports as a crash, input kept.
[[noreturn]] inline void broken(const std::string& what) {
  std::fprintf(stderr, "broken property: %s\n", what.c_str());
  std::abort();
}

}  // namespace fuzz
