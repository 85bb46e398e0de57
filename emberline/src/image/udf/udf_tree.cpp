#include "image/udf/udf_tree.h"

namespace emberline::image::udf {

UdfEntry udfTreeOf(const TreeNode& root, ExtentRegistry& extents) {
  UdfEntry entry;
  entry.name = root.parent == nullptr ? std::string() : root.name;
  entry.folder = root.folder;
  entry.modified = root.modified;
  if (!root.folder) {
    entry.extent = extents.extentOf(root);
    return entry;
  }
  entry.children.reserve(root.children.size());
  for (const auto& child : root.children) entry.children.push_back(udfTreeOf(*child, extents));
  return entry;
}

}  // namespace emberline::image::udf
