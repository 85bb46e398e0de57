#pragma once
/// @file Writes one hierarchy: its volume descriptor, L and M path tables and directories.

#include <functional>

#include "image/hierarchy.h"
#include "image/image_writer.h"

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
  HierarchyWriter(Hierarchy hierarchy, VolumeText text, SystemUseSource systemUse = {})
      : hierarchy_(std::move(hierarchy)), text_(std::move(text)), systemUse_(std::move(systemUse)) {}

  std::uint32_t descriptorCount() const override { return 1; }
  Status countBlocks(ImageLayout& layout) override;
  void writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) override;
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

 private:
  std::vector<std::uint8_t> pathTable(bool bigEndian) const;
  std::vector<std::uint8_t> directory(const ImageLayout& layout, const HierarchyDirectory& dir) const;
  std::uint32_t pathTableBytes() const;
  template <class Visit>
  void forEachRecord(const ImageLayout& layout, const HierarchyDirectory& dir, Visit&& visit) const;

  Hierarchy hierarchy_;
  VolumeText text_;
  SystemUseSource systemUse_;
  std::uint32_t lPathTable_ = 0;
  std::uint32_t mPathTable_ = 0;
};

}  // namespace emberline::image
