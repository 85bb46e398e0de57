#pragma once
// A recording reads a tree's built image for minutes: the tree must neither
// change nor go away meanwhile, so the recording holds it through a lease.

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "core/result.h"
#include "emberline/emberline.h"
#include "image/image_stream.h"

namespace emberline {

/// Exclusive use of a file tree's built image; the tree's calls wait until it ends.
struct TreeImageLease {
  std::shared_ptr<void> owner;        ///< keeps the tree alive
  std::unique_lock<std::mutex> lock;  ///< the tree's call lock
  image::ImageStream* image = nullptr;
  std::uint32_t startLba = 0;  ///< the address the image was laid out for
  /// Blocks of the image where a two-layer recording may change layers (the
  /// cell starts of a DVD-Video image); empty for a data image, where any block will do.
  std::vector<std::uint32_t> layerBreakCandidates;
};

/// Leases the image of @p tree; fails for a handle that is not a tree or a tree without an image.
Result<TreeImageLease> leaseTreeImage(EmberlineHandle tree);

}  // namespace emberline
