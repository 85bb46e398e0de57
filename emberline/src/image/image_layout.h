#pragma once
/// @file Where everything of an image goes, shared by the writers while they lay it out.

#include <cstdint>
#include <ctime>
#include <vector>

namespace emberline::image {

inline constexpr std::uint32_t kBlockSize = 2048;
/// Data length of one extent of a multi-extent file: the largest block multiple below 4 GiB.
inline constexpr std::uint64_t kMaxExtentBytes = 0xFFFFF800u;

inline std::uint32_t blocksFor(std::uint64_t bytes) {
  return static_cast<std::uint32_t>((bytes + kBlockSize - 1) / kBlockSize);
}

/// One run of data blocks that directory records point at.
struct Extent {
  std::uint32_t lba = 0;  ///< absolute address
  std::uint64_t bytes = 0;
};

struct ImageLayout {
  std::uint32_t startLba = 0;   ///< where image block 0 goes on the medium
  std::uint32_t nextBlock = 0;  ///< next free block, counted from the image start
  std::uint32_t totalBlocks = 0;
  std::time_t created = 0;
  std::vector<Extent> extents;  ///< file data, the boot catalogue and the boot image

  /// Takes `blocks` blocks and returns the absolute address of the first.
  std::uint32_t reserve(std::uint32_t blocks) {
    const std::uint32_t at = startLba + nextBlock;
    nextBlock += blocks;
    return at;
  }
  std::size_t addExtent(std::uint64_t bytes) {
    extents.push_back(Extent{0, bytes});
    return extents.size() - 1;
  }
};

}  // namespace emberline::image
