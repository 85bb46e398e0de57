#pragma once
/// @file
/// A read-only, front-to-back view of a source file through one fixed-size
/// window: the MPEG reader looks ahead a header or a packet at a time and
/// never holds more than the window, whatever the file's size. The same view
/// can be had of bytes already in memory, which the caller keeps alive.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"

namespace emberline::video {

class MpegFileInput {
 public:
  /// Room for the largest PES packet (65541 bytes) with some to spare.
  static constexpr std::size_t kWindowSize = 128 * 1024;

  /// Opens @p path for reading. Fails naming the file when it is missing, a
  /// folder or unreadable.
  static Result<MpegFileInput> open(const std::string& path);
  /// A view of @p bytes, named @p name in messages; nothing is copied.
  static MpegFileInput ofBytes(std::span<const std::uint8_t> bytes, const std::string& name);

  const std::string& path() const { return path_; }
  std::uint64_t size() const { return size_; }
  /// File offset of the first byte of available().
  std::uint64_t position() const { return position_; }

  /// Makes at least @p count bytes available unless the file ends first
  /// (@p count is at most kWindowSize). Fails only when reading fails.
  Status fill(std::size_t count);
  /// The bytes read ahead of the position.
  std::span<const std::uint8_t> available() const {
    return std::span<const std::uint8_t>(window_).subspan(begin_, end_ - begin_);
  }
  /// Moves the position on by @p count available bytes.
  void advance(std::size_t count);
  /// Whether every byte of the file has been passed.
  bool atEnd() const { return begin_ == end_ && position_ >= size_; }

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  MpegFileInput() = default;

  std::string path_;
  std::unique_ptr<std::FILE, Closer> file_;
  std::span<const std::uint8_t> memory_;  ///< the bytes, when there is no file
  std::vector<std::uint8_t> window_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  std::uint64_t position_ = 0;
  std::uint64_t size_ = 0;
};

}  // namespace emberline::video
