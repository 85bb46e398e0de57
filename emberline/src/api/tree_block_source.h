#pragma once
// A built file-tree image as the source of one track, held under its lease.

#include <memory>

#include "api/tree_image_lease.h"
#include "verify/disc_verifier.h"
#include "write/disc_plan.h"

namespace emberline {

/// A track of the image of @p tree, read from its first block, that must
/// start where the image was laid out. Fails for a handle that is not a tree
/// or a tree without a built image.
Result<write::PlannedTrack> treeImageTrack(EmberlineHandle tree);

/// The image of @p tree opened again for reading back, with the source file
/// of each block; fails as treeImageTrack does.
Result<verify::VerifyTrack> treeVerifyTrack(EmberlineHandle tree);

}  // namespace emberline
