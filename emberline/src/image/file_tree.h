#pragma once
/**
 * @file
 * The folders and files an image is built from: names in the tree, in ISO
 * 9660 and in Joliet, with the local file each file is read from.
 */

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/result.h"
#include "image/name_arena.h"
#include "image/tree_node.h"
#include "image/tree_observer.h"
#include "image/unix_attributes.h"

namespace emberline::image {

class FileTree {
 public:
  /// @param observer may be null: collisions are then settled by a counter suffix.
  explicit FileTree(TreeObserver* observer);

  /// Adds the local folder `sourceFolder` itself, with everything in it, into `treeFolder`.
  Status addFolder(std::string_view treeFolder, const std::string& sourceFolder);
  /// Adds one local file into `treeFolder` as `name` (its own name when empty).
  Status addFile(std::string_view treeFolder, const std::string& sourceFile, std::string_view name);
  /// Adds a file whose `bytes` of data lie outside the image, from `lba` of
  /// the disc on (another track): its records point there.
  Status addOutsideFile(std::string_view treeFolder, std::string_view name, std::uint32_t lba, std::uint64_t bytes,
                        std::time_t modified);
  /// Makes the folder `treeFolder` (and those above it) if it is not there yet.
  Status addEmptyFolder(std::string_view treeFolder);
  Status remove(std::string_view treePath);

  /// What the folders and files added from now on keep of their sources. It
  /// is fixed once the tree holds anything: a tree of mixed kinds would
  /// describe its files by two rules.
  Status setCapture(const TreeCapture& capture);
  const TreeCapture& capture() const { return capture_; }
  /// The sources' attributes, for the nodes added while `capture().attributes` was set.
  const UnixAttributeTable& attributes() const { return attributes_; }

  const TreeNode& root() const { return *root_; }
  /// The node at a tree path, or null.
  const TreeNode* find(std::string_view treePath) const;

 private:
  enum class Placement { Added, Merged, Skipped };

  Result<TreeNode*> folderAt(std::string_view treePath);
  Result<Placement> insert(TreeNode& parent, std::unique_ptr<TreeNode> node);
  Result<Placement> settleIsoName(TreeNode& parent, TreeNode& node, TreeNode*& mergeInto);
  Result<Placement> settleJolietName(TreeNode& parent, TreeNode& node, TreeNode*& mergeInto);
  /// Asks the observer about @p collision between @p first and @p node. An
  /// answer that keeps the first entry (@p node is ignored: @p nameUsed,
  /// "its ... name", is already used by @p first) or merges two folders is
  /// carried out and settled, and its placement answered. Otherwise nothing:
  /// @p decision holds the answer, if any, for renaming.
  std::optional<Placement> keepOrMerge(const NameCollision& collision, TreeNode& first, const TreeNode& node,
                                       TreeNode*& mergeInto, std::optional<CollisionDecision>& decision,
                                       const std::string& nameUsed);
  void computeNames(TreeNode& node);
  void reportAdded(const TreeNode& node);
  void reportRemoved(const TreeNode& node);

  TreeObserver* observer_;
  /// Every name of the tree. Names of removed or renamed nodes stay until the tree goes.
  NameArena names_;
  std::unique_ptr<TreeNode> root_;
  TreeCapture capture_;
  UnixAttributeTable attributes_;
};

}  // namespace emberline::image
