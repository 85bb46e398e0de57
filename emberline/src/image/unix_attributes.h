#pragma once
/**
 * @file
 * What the local file system says about a tree's files beyond name, size
 * and time: mode, owners, links and the other two times, for the Rock Ridge
 * records. Kept beside the tree, not in its nodes, so a tree built without
 * them pays nothing.
 */

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <deque>
#include <optional>
#include <string_view>
#include <unordered_map>

#include "image/name_arena.h"
#include "image/node_index.h"
#include "image/tree_node.h"

namespace emberline::image {

struct UnixAttributes {
  std::time_t accessed = 0;
  std::time_t changed = 0;  ///< the attributes' last change
  std::uint32_t mode = 0;   ///< type and permission bits, as the source has them
  std::uint32_t uid = 0;
  std::uint32_t gid = 0;
  std::uint32_t links = 1;
  std::uint32_t serial = 0;  ///< the file's number in the image: hard links share one
};

/// What the tree records of its sources' attributes.
struct TreeCapture {
  bool attributes = false;    ///< keep each source's attributes
  bool linksAsLinks = false;  ///< symbolic links become links in the tree instead of what they point to
  bool operator==(const TreeCapture&) const = default;
};

class UnixAttributeTable {
 public:
  const UnixAttributes* find(const TreeNode& node) const;
  std::optional<std::string_view> linkTarget(const TreeNode& node) const;

  void set(const TreeNode& node, const UnixAttributes& attributes);
  void setLinkTarget(const TreeNode& node, std::string_view target);
  /// The node and everything below it left the tree.
  void forget(const TreeNode& node);

  /// The number of a file: one per source file, so hard links to one file share it.
  std::uint32_t serialOf(dev_t device, ino_t inode, bool mayBeLinked);
  /// A number no source file has: for folders and files that exist only in the tree.
  std::uint32_t freshSerial() { return ++lastSerial_; }
  std::uint32_t lastSerial() const { return lastSerial_; }
  bool empty() const { return attributes_.empty(); }

 private:
  struct Entry {
    const TreeNode* node;
    UnixAttributes attributes;
  };
  struct Link {
    const TreeNode* node;
    std::string_view target;
  };
  struct Identity {
    dev_t device;
    ino_t inode;
    bool operator==(const Identity&) const = default;
  };
  struct IdentityHash {
    std::size_t operator()(const Identity& id) const {
      return std::hash<std::uint64_t>()(static_cast<std::uint64_t>(id.inode) * 0x9E3779B97F4A7C15ull ^
                                        static_cast<std::uint64_t>(id.device));
    }
  };

  // A deque grows a block at a time: a big tree's table never stands twice in memory while it grows.
  std::deque<Entry> attributes_;
  NodeIndex attributeIndex_;
  std::deque<Link> links_;
  NodeIndex linkIndex_;
  NameArena targets_;
  /// Only files that have other names: the rest take a fresh number.
  std::unordered_map<Identity, std::uint32_t, IdentityHash> linked_;
  std::uint32_t lastSerial_ = 0;
};

}  // namespace emberline::image
