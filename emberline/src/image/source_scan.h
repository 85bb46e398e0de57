#pragma once
/// @file Reading a local file or folder into unattached tree nodes.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/result.h"
#include "image/name_arena.h"
#include "image/tree_node.h"

namespace emberline::image {

struct ScannedSource {
  std::unique_ptr<TreeNode> node;
  /// Entries left out (relative to the scanned folder) and why.
  std::vector<std::pair<std::string, std::string>> leftOut;
};

/// Scans a local file, or a folder with everything in it. Anything that
/// cannot be read fails the whole scan with an error naming it, so a
/// partly readable folder never ends up partly added. The nodes' names are
/// kept in `names`.
Result<ScannedSource> scanSource(const std::string& path, NameArena& names);

}  // namespace emberline::image
