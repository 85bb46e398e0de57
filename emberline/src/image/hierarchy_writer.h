#pragma once
/// @file Writes one hierarchy: its volume descriptor, L and M path tables and directories.

#include <memory>

#include "image/hierarchy.h"
#include "image/hierarchy_records.h"
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

/// The directories are made while the image is read, from the tree the
/// hierarchy was built from: the tree must outlive the image, unchanged.
class HierarchyWriter final : public ImageWriter {
 public:
  /// `planner`, when given, adds entries of the sharing protocol to every
  /// record, after the `systemUse` bytes.
  HierarchyWriter(Hierarchy hierarchy, VolumeText text, SystemUseSource systemUse = {},
                  std::unique_ptr<SystemUsePlanner> planner = {})
      : records_(std::make_shared<HierarchyRecords>(std::move(hierarchy), std::move(systemUse), std::move(planner))),
        text_(std::move(text)) {}

  std::uint32_t descriptorCount() const override { return 1; }
  Status countBlocks(ImageLayout& layout) override;
  void writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) override;
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

 private:
  std::vector<std::uint8_t> pathTable(bool bigEndian) const;
  std::uint32_t pathTableBytes() const;

  std::shared_ptr<HierarchyRecords> records_;
  VolumeText text_;
  std::uint32_t lPathTable_ = 0;
  std::uint32_t mPathTable_ = 0;
};

}  // namespace emberline::image
