#pragma once
/// @file Writes one hierarchy: its volume descriptor, L and M path tables and directories.

#include <functional>

#include "image/hierarchy.h"
#include "image/image_writer.h"
#include "image/system_use.h"

namespace emberline::image {

/// The descriptor text of a hierarchy, already in its characters.
struct VolumeText {
  std::string volumeId;
  std::string applicationId;
  std::string preparerId;
  bool xa = false;  ///< a CD-ROM XA volume
  std::string systemId;
  std::uint32_t volumeBlocks = 0;  ///< the volume's size when it runs past the image; 0: the image's
  std::string publisherId;
};

/// The system-use bytes of the record of `node` (a folder's own '.' record
/// and its children's '..' records name the folder); null for files outside the tree.
using SystemUseSource = std::function<std::vector<std::uint8_t>(const TreeNode* node, bool directory)>;

class HierarchyWriter final : public ImageWriter {
 public:
  /// `planner`, when given, adds entries of the sharing protocol to every
  /// record, after the `systemUse` bytes.
  HierarchyWriter(Hierarchy hierarchy, VolumeText text, SystemUseSource systemUse = {},
                  std::unique_ptr<SystemUsePlanner> planner = {})
      : hierarchy_(std::move(hierarchy)),
        text_(std::move(text)),
        systemUse_(std::move(systemUse)),
        planner_(std::move(planner)) {}

  std::uint32_t descriptorCount() const override { return 1; }
  Status countBlocks(ImageLayout& layout) override;
  void writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) override;
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

 private:
  std::vector<std::uint8_t> pathTable(bool bigEndian) const;
  /// The folder's records, and its continuation areas into `continued`.
  std::vector<std::uint8_t> directory(const ImageLayout& layout, const HierarchyDirectory& dir,
                                      ContinuationAreas& continued);
  std::uint32_t pathTableBytes() const;
  template <class Visit>
  void forEachRecord(const ImageLayout& layout, const HierarchyDirectory& dir, ContinuationAreas& continued,
                     Visit&& visit);

  Hierarchy hierarchy_;
  VolumeText text_;
  SystemUseSource systemUse_;
  std::unique_ptr<SystemUsePlanner> planner_;
  SystemUseEntries entries_;  ///< one record's, reused
  std::string nameOfOwn_;     ///< the Rock Ridge name of a file of the image's own
  std::uint32_t lPathTable_ = 0;
  std::uint32_t mPathTable_ = 0;
};

}  // namespace emberline::image
