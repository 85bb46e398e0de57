#pragma once
/**
 * @file One folder or file of a file tree, with its names in both hierarchies.
 *
 * Trees of tens of thousands of files are common, so a node keeps no
 * strings of its own: its names are views into the tree's NameArena, and
 * its local path is rebuilt from its parent's when asked for.
 */

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace emberline::image {

struct TreeNode {
  std::string_view name;           ///< tree name (UTF-8), unique among its siblings
  std::string_view isoName;        ///< level 2 ISO 9660 name ("BASE.EXT" or a folder identifier)
  std::u16string_view jolietName;  ///< Joliet name
  /// The local name this node was read from: a whole path when `sourceWhole`,
  /// otherwise one name inside the parent's source folder; empty for folders
  /// that exist only in the tree and files outside the image.
  std::string_view sourceName;
  std::uint64_t size = 0;  ///< file size when added
  std::time_t modified = 0;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
  /// With `outside`: a file whose data lies outside the image, at this address
  /// of the disc (another track); its records point there and the image holds no data for it.
  std::uint32_t outsideLba = 0;
  bool outside = false;
  bool sourceWhole = false;
  bool folder = false;

  /// The local path; empty for folders that exist only in the tree.
  std::string source() const {
    if (sourceWhole || sourceName.empty() || parent == nullptr) return std::string(sourceName);
    std::string path = parent->source();
    path += '/';
    path += sourceName;
    return path;
  }

  /// "/a/b" path in the tree; "/" for the root.
  std::string treePath() const {
    if (parent == nullptr) return "/";
    std::string path = parent->parent == nullptr ? std::string() : parent->treePath();
    path += '/';
    path += name;
    return path;
  }
};

// A tree holds one node per file: the small fields share one word, so that a
// node stays within the allocator's 128-byte size class.
static_assert(sizeof(void*) != 8 || sizeof(TreeNode) <= 120);

}  // namespace emberline::image
