#pragma once
/// @file One folder or file of a file tree, with its names in both hierarchies.

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace emberline::image {

struct TreeNode {
  std::string name;           ///< tree name (UTF-8), unique among its siblings
  std::string isoName;        ///< level 2 ISO 9660 name ("BASE.EXT" or a folder identifier)
  std::u16string jolietName;  ///< Joliet name
  bool folder = false;
  std::string source;      ///< local path; empty for folders that exist only in the tree
  std::uint64_t size = 0;  ///< file size when added
  std::time_t modified = 0;
  /// A file whose data lies outside the image, at this address of the disc
  /// (another track); its records point there and the image holds no data for it.
  std::optional<std::uint32_t> outsideLba;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;

  /// "/a/b" path in the tree; "/" for the root.
  std::string treePath() const {
    if (parent == nullptr) return "/";
    const std::string above = parent->treePath();
    return (above == "/" ? std::string() : above) + "/" + name;
  }
};

}  // namespace emberline::image
