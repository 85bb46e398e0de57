#pragma once
/**
 * @file
 * The directory records of one hierarchy, made from its folders' entries
 * each time they are counted or read: a big tree's records, a few hundred
 * bytes per file with Rock Ridge, never stand in memory whole.
 */

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "image/hierarchy.h"
#include "image/image_contents.h"
#include "image/image_layout.h"
#include "image/system_use.h"

namespace emberline::image {

/// The system-use bytes of the record of `node` (a folder's own '.' record
/// and its children's '..' records name the folder); null for files outside the tree.
using SystemUseSource = std::function<std::vector<std::uint8_t>(const TreeNode* node, bool directory)>;

class HierarchyRecords final : public GeneratedBytes {
 public:
  /// `planner`, when given, adds entries of the sharing protocol to every
  /// record, after the `systemUse` bytes.
  HierarchyRecords(Hierarchy hierarchy, SystemUseSource systemUse, std::unique_ptr<SystemUsePlanner> planner)
      : hierarchy_(std::move(hierarchy)), systemUse_(std::move(systemUse)), planner_(std::move(planner)) {}

  Hierarchy& hierarchy() { return hierarchy_; }
  const Hierarchy& hierarchy() const { return hierarchy_; }

  /// Sets each folder's size and its continuation areas' size; the extents'
  /// sizes must be known, not yet their places.
  Status count(const std::vector<Extent>& extents);
  /// Where the files lie, once the layout is closed; the records read them from here.
  void setExtents(std::shared_ptr<const std::vector<Extent>> extents) { extents_ = std::move(extents); }

  /// Piece 2n is folder n's records, 2n + 1 its continuation areas.
  Status fill(std::uint32_t part, std::uint64_t offset, std::span<std::uint8_t> out) override;

 private:
  /// Makes folder `dir`'s records and continuation areas into the held ones.
  Status make(std::size_t dir);
  template <class Visit>
  Status forEachRecord(const std::vector<Extent>& extents, std::size_t dir, ContinuationAreas& continued,
                       Visit&& visit);

  Hierarchy hierarchy_;
  SystemUseSource systemUse_;
  std::unique_ptr<SystemUsePlanner> planner_;
  std::shared_ptr<const std::vector<Extent>> extents_;
  FolderEntries folder_;      ///< one folder's entries, reused
  SystemUseEntries entries_;  ///< one record's, reused
  std::string nameOfOwn_;     ///< the Rock Ridge name of a file of the image's own
  /// The last folder made: reads go front to back, a block or a few at a time.
  std::size_t made_ = SIZE_MAX;
  std::vector<std::uint8_t> records_;
  std::vector<std::uint8_t> continuation_;
};

}  // namespace emberline::image
