#pragma once
/**
 * @file
 * One directory hierarchy (ISO 9660 or Joliet) of a tree, in path table
 * order, with the identifiers as they are recorded.
 */

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "core/result.h"
#include "image/name_arena.h"
#include "image/tree_node.h"

namespace emberline::image {

enum class Flavour { Iso, Joliet };

/// One entry of a folder as it is recorded, its identifier named anew
/// (`FolderEntries`) each time the folder's records are made.
struct HierarchyEntry {
  std::string_view identifier;  ///< recorded bytes (";1" on ISO files, UCS-2 big-endian for Joliet)
  bool directory = false;
  std::size_t target = 0;  ///< directory index, or extent index for a file
  std::time_t modified = 0;
  const TreeNode* node = nullptr;  ///< null for a file outside the tree (the boot catalogue)
  /// Stands for a folder relocated out of this one (its record is a file's,
  /// pointing at the folder): `target` is the folder's directory index.
  bool relocated = false;
};

/// What a folder keeps of one entry between the phases: a big tree has one
/// per file and hierarchy, so it holds neither identifier nor time.
struct PlacedEntry {
  /// The entry's place in its folder's naming order: the folder's children
  /// (or the relocated folders) in tree order, then the relocation folder,
  /// then the image's own files; the top bit marks a relocated folder's stand-in.
  std::uint32_t source = 0;
  std::uint32_t target = 0;  ///< directory index, or extent index for a file

  static constexpr std::uint32_t kRelocatedBit = 0x80000000u;
  std::uint32_t index() const { return source & ~kRelocatedBit; }
  bool relocated() const { return (source & kRelocatedBit) != 0; }
};

struct HierarchyDirectory {
  std::string_view identifier;  ///< "\0" for the root
  std::size_t parent = 0;       ///< index of the parent; the root is its own parent
  unsigned level = 1;           ///< the root is level 1
  std::string treePath;
  const TreeNode* node = nullptr;  ///< null for the relocation folder
  std::time_t modified = 0;
  /// The parent in the tree: another than `parent` for a relocated folder.
  std::size_t home = 0;
  bool relocated = false;
  std::uint32_t folders = 0;         ///< subfolders as the tree has them
  std::vector<PlacedEntry> entries;  ///< sorted as the hierarchy requires
  std::uint32_t lba = 0;
  std::uint32_t bytes = 0;
  std::uint32_t continuationLba = 0;  ///< the records' continuation areas
  std::uint32_t continuationBytes = 0;
};

/// A file that is part of the image but not of the tree (the boot catalogue).
struct ExtraRootFile {
  std::string isoName;  ///< "BASE.EXT"
  std::u16string jolietName;
  std::size_t extent = 0;
  std::time_t modified = 0;
};

struct HierarchyOptions {
  Flavour flavour = Flavour::Iso;
  bool level1Names = false;  ///< 8.3 names instead of the tree's level 2 names
  /// When set, every folder and file is recorded with this time instead of its own.
  std::time_t recordTime = 0;
  /// When set, the folders of the tree's own (the root, folders made for a path) are recorded with this
  /// time: the image's, so that the same tree builds the same image again.
  std::time_t ownFolderTime = 0;
  /// Rock Ridge carries the names and the depth: no path length limit, and
  /// an ISO 9660 folder deeper than its eight levels moves into a relocation
  /// folder at the root, its place kept by a record pointing there.
  bool rockRidge = false;
};

/// The hierarchy reads its names from the tree each time a folder's entries
/// are made: the tree must outlive it, unchanged.
struct Hierarchy {
  Flavour flavour = Flavour::Iso;
  HierarchyOptions options;
  /// The relocation folder's Rock Ridge name, when folders were relocated.
  std::string relocationName;
  std::vector<const TreeNode*> relocatedFolders;  ///< the relocation folder's entries, in tree order
  std::vector<ExtraRootFile> extras;
  std::vector<HierarchyDirectory> directories;  ///< path table order: by level, parent, name
  NameArena identifiers;                        ///< what the folders' own identifiers point into
};

/// The entries of one folder with their identifiers, named again from the
/// tree; reused from folder to folder.
class FolderEntries {
 public:
  /// Names the entries of folder `dir` as the hierarchy was built with them.
  Status fill(const Hierarchy& hierarchy, std::size_t dir);
  const std::vector<HierarchyEntry>& entries() const { return entries_; }

 private:
  std::vector<HierarchyEntry> entries_;
  std::vector<std::string> names_;  ///< in naming order; the entries' identifiers point here
};

/// Hands out the extent of each file of the tree, the same one to both hierarchies.
class ExtentRegistry {
 public:
  virtual ~ExtentRegistry() = default;
  virtual std::size_t extentOf(const TreeNode& file) = 0;
  virtual std::uint64_t bytesOf(std::size_t extent) const = 0;
};

/// Fails, naming the folder or file, where the hierarchy's depth or path length limits are passed.
Result<Hierarchy> buildHierarchy(const TreeNode& root, const HierarchyOptions& options, ExtentRegistry& extents,
                                 const std::vector<ExtraRootFile>& extras);

}  // namespace emberline::image
