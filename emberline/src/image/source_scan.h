#pragma once
/// @file Reading a local file or folder into unattached tree nodes.

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/result.h"
#include "image/name_arena.h"
#include "image/tree_node.h"
#include "image/unix_attributes.h"

namespace emberline::image {

struct ScannedSource {
  std::unique_ptr<TreeNode> node;
  /// Entries left out (relative to the scanned folder) and why.
  std::vector<std::pair<std::string, std::string>> leftOut;
};

/// Scans a local file, or a folder with everything in it. Anything that
/// cannot be read fails the whole scan with an error naming it, so a
/// partly readable folder never ends up partly added. The nodes' names are
/// kept in `names`; with `capture.attributes` each node's attributes go into
/// `attributes`, and with `capture.linksAsLinks` a symbolic link is scanned
/// as a link (dangling or not) rather than as what it points to.
Result<ScannedSource> scanSource(const std::string& path, NameArena& names, const TreeCapture& capture = {},
                                 UnixAttributeTable* attributes = nullptr);

}  // namespace emberline::image
