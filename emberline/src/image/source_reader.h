#pragma once
/// @file Reads source files while the image streams, keeping one of them open.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/result.h"

namespace emberline::image {

class SourceReader {
 public:
  SourceReader() = default;
  SourceReader(const SourceReader&) = delete;
  SourceReader& operator=(const SourceReader&) = delete;
  ~SourceReader();

  /// Fills `out` from `offset` of `path`, which must still be `expectedBytes` long.
  Status read(std::string_view path, std::uint64_t expectedBytes, std::uint64_t offset, std::span<std::uint8_t> out);
  void close();

 private:
  Status open(const std::string& path, std::uint64_t expectedBytes);

  int fd_ = -1;
  std::string path_;
};

}  // namespace emberline::image
