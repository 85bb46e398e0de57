#include "image/image_layout.h"

#include <algorithm>

namespace emberline::image {

std::uint32_t ImageLayout::reserve(std::uint32_t blocks) {
  BlockRange wanted{nextBlock, blocks};
  // A run never straddles a fixed claim: it moves past it and leaves a gap of zeros.
  for (bool moved = true; moved && blocks > 0;) {
    moved = false;
    for (const BlockRange& claim : fixed_)
      if (wanted.overlaps(claim)) {
        wanted.first = claim.end();
        moved = true;
      }
  }
  nextBlock = wanted.end();
  return startLba + wanted.first;
}

Status ImageLayout::claimAt(std::uint32_t first, std::uint32_t blocks, const std::string& what) {
  const BlockRange claim{first, blocks};
  if (first < nextBlock)
    return fail(ErrorKind::InvalidArgument, what + " cannot go at block " + std::to_string(first) +
                                                ": the image's first " + std::to_string(nextBlock) +
                                                " blocks are already laid out");
  for (const BlockRange& other : fixed_)
    if (claim.overlaps(other))
      return fail(ErrorKind::InvalidArgument, what + " at block " + std::to_string(first) +
                                                  " overlaps blocks claimed from " + std::to_string(other.first));
  fixed_.push_back(claim);
  return {};
}

std::size_t ImageLayout::claimAtEnd(std::uint32_t blocks) {
  endClaims_.push_back(BlockRange{0, blocks});
  return endClaims_.size() - 1;
}

void ImageLayout::close() {
  std::uint32_t end = nextBlock;
  for (const BlockRange& claim : fixed_) end = std::max(end, claim.end());
  std::uint32_t claimed = 0;
  for (const BlockRange& claim : endClaims_) claimed += claim.count;
  if (endMultiple > 1 && (end + claimed) % endMultiple != 0) end += endMultiple - (end + claimed) % endMultiple;
  for (BlockRange& claim : endClaims_) {
    claim.first = end;
    end = claim.end();
  }
  nextBlock = end;
  totalBlocks = end;
}

}  // namespace emberline::image
