#pragma once
/// @file The UDF side's view of a file tree: the same files, pointing at the extents the ISO 9660 side uses.

#include "image/hierarchy.h"
#include "image/tree_node.h"
#include "image/udf/udf_writer.h"

namespace emberline::image::udf {

/// Entries for `root` and everything below it; each file gets the extent `extents` hands out for it,
/// which is the one the ISO 9660 and Joliet hierarchies record for the same file.
UdfEntry udfTreeOf(const TreeNode& root, ExtentRegistry& extents);

}  // namespace emberline::image::udf
