#pragma once
/// @file
/// Where the blocks of one track come from: a built file-tree image or an
/// image file. Sources are read front to back in whole blocks and never
/// hold more than the caller's buffer.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "core/result.h"

namespace emberline::write {

/// A sequential supplier of fixed-size blocks.
class BlockSource {
 public:
  virtual ~BlockSource() = default;
  /// Bytes per block: 2048 for user data, 2352 for raw sectors.
  virtual std::size_t blockSize() const = 0;
  virtual std::uint32_t blockCount() const = 0;
  /// What the source is called in messages ("file x.iso", "the file tree").
  virtual std::string describe() const = 0;
  /// Fills @p out (a whole number of blocks) with the next blocks.
  virtual Status read(std::span<std::uint8_t> out) = 0;
};

/// An image file of @p blockSize-byte blocks. Fails naming the file when it
/// cannot be opened or its size is not a whole number of blocks.
Result<std::unique_ptr<BlockSource>> openImageFile(const std::string& path, std::size_t blockSize);

}  // namespace emberline::write
