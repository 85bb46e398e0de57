#pragma once
/// @file Where everything of an image goes, shared by the writers while they lay it out.

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "core/result.h"

namespace emberline::image {

inline constexpr std::uint32_t kBlockSize = 2048;
/// Data length of one extent of a multi-extent file: the largest block multiple below 4 GiB.
inline constexpr std::uint64_t kMaxExtentBytes = 0xFFFFF800u;

inline std::uint32_t blocksFor(std::uint64_t bytes) {
  return static_cast<std::uint32_t>((bytes + kBlockSize - 1) / kBlockSize);
}

/// One run of data blocks that directory records point at.
struct Extent {
  std::uint64_t bytes = 0;
  std::uint32_t lba = 0;  ///< absolute address
  /// The blocks lie outside the image (another track of the disc): nothing is written for them.
  bool outside = false;
};

/// Blocks counted from the image start.
struct BlockRange {
  std::uint32_t first = 0;
  std::uint32_t count = 0;
  std::uint32_t end() const { return first + count; }
  bool overlaps(const BlockRange& other) const { return first < other.end() && other.first < end(); }
};

class ImageLayout {
 public:
  std::uint32_t startLba = 0;   ///< where image block 0 goes on the medium
  std::uint32_t nextBlock = 0;  ///< next free block, counted from the image start
  std::uint32_t totalBlocks = 0;
  /// The image's block count is made a multiple of this, with zeros before the end claims, so that
  /// they stay the last blocks of a recording padded to that unit (a DVD's 16-block ECC block).
  std::uint32_t endMultiple = 1;
  std::time_t created = 0;
  std::vector<Extent> extents;  ///< file data, the boot catalogue and the boot image

  /// Takes `blocks` blocks after those taken so far, passing over fixed
  /// claims, and returns the absolute address of the first.
  std::uint32_t reserve(std::uint32_t blocks);
  std::size_t addExtent(std::uint64_t bytes) {
    extents.push_back(Extent{bytes, 0, false});
    return extents.size() - 1;
  }

  /// Claims `blocks` blocks at block `first` of the image (an anchor that must
  /// sit at block 256, a file at a given sector). Claims are made before any
  /// writer counts its blocks; they may not overlap each other.
  Status claimAt(std::uint32_t first, std::uint32_t blocks, const std::string& what);
  /// Claims `blocks` blocks at the very end of the image; the last claim made
  /// ends at the image's last block. Returns the claim's number.
  std::size_t claimAtEnd(std::uint32_t blocks);
  /// The absolute address of an end claim, known once the layout is closed.
  std::uint32_t endClaimLba(std::size_t claim) const { return startLba + endClaims_[claim].first; }

  /// Every writer has counted: places the end claims and fixes the image's size.
  void close();

  const std::vector<BlockRange>& fixedClaims() const { return fixed_; }

  /// The extents as the closed layout has them, one copy shared by whatever
  /// reads them while the image streams (the directories made then).
  std::shared_ptr<const std::vector<Extent>> closedExtents() const {
    if (!closedExtents_) closedExtents_ = std::make_shared<const std::vector<Extent>>(extents);
    return closedExtents_;
  }

 private:
  std::vector<BlockRange> fixed_;
  std::vector<BlockRange> endClaims_;
  mutable std::shared_ptr<const std::vector<Extent>> closedExtents_;
};

}  // namespace emberline::image
