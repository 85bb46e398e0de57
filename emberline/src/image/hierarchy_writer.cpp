#include "image/hierarchy_writer.h"

#include <algorithm>

#include "image/both_endian.h"
#include "image/directory_record.h"

namespace emberline::image {

namespace {

std::size_t pathRecordLength(const HierarchyDirectory& dir) {
  return 8 + dir.identifier.size() + dir.identifier.size() % 2;
}

}  // namespace

std::uint32_t HierarchyWriter::pathTableBytes() const {
  std::uint32_t bytes = 0;
  for (const auto& dir : records_->hierarchy().directories) bytes += static_cast<std::uint32_t>(pathRecordLength(dir));
  return bytes;
}

Status HierarchyWriter::countBlocks(ImageLayout& layout) {
  const std::uint32_t tableBlocks = blocksFor(pathTableBytes());
  lPathTable_ = layout.reserve(tableBlocks);
  mPathTable_ = layout.reserve(tableBlocks);
  EMBERLINE_TRY(records_->count(layout.extents));
  auto& directories = records_->hierarchy().directories;
  for (auto& dir : directories) dir.lba = layout.reserve(dir.bytes / kBlockSize);
  // Continuation areas after all the folders, each folder's in blocks of its own.
  for (auto& dir : directories)
    if (dir.continuationBytes > 0) dir.continuationLba = layout.reserve(blocksFor(dir.continuationBytes));
  return {};
}

void HierarchyWriter::writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) {
  const Hierarchy& hierarchy = records_->hierarchy();
  const HierarchyDirectory& root = hierarchy.directories.front();
  VolumeFields fields;
  fields.joliet = hierarchy.flavour == Flavour::Joliet;
  fields.volumeId = text_.volumeId;
  fields.applicationId = text_.applicationId;
  fields.preparerId = text_.preparerId;
  fields.publisherId = text_.publisherId;
  fields.xa = text_.xa;
  fields.systemId = text_.systemId;
  fields.volumeBlocks = std::max(text_.volumeBlocks, layout.startLba + layout.totalBlocks);
  fields.pathTableBytes = pathTableBytes();
  fields.lPathTable = lPathTable_;
  fields.mPathTable = mPathTable_;
  fields.root = RecordFields{root.lba, root.bytes, root.modified, kFlagDirectory, std::string_view("\0", 1), {}};
  fields.created = layout.created;
  out.push_back(volumeDescriptor(fields));
}

std::vector<std::uint8_t> HierarchyWriter::pathTable(bool bigEndian) const {
  std::vector<std::uint8_t> table(pathTableBytes());
  std::span<std::uint8_t> bytes(table);
  std::size_t at = 0;
  for (const auto& dir : records_->hierarchy().directories) {
    bytes[at] = static_cast<std::uint8_t>(dir.identifier.size());
    const auto parent = static_cast<std::uint16_t>(dir.parent + 1);
    if (bigEndian) {
      be::put32(bytes, at + 2, dir.lba);
      be::put16(bytes, at + 6, parent);
    } else {
      putLe32(bytes, at + 2, dir.lba);
      putLe16(bytes, at + 6, parent);
    }
    std::copy(dir.identifier.begin(), dir.identifier.end(), table.begin() + static_cast<std::ptrdiff_t>(at + 8));
    at += pathRecordLength(dir);
  }
  return table;
}

Status HierarchyWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  const std::uint32_t tableBlocks = blocksFor(pathTableBytes());
  std::vector<std::uint8_t> l = pathTable(false);
  l.resize(std::size_t{tableBlocks} * kBlockSize);
  const bool joliet = records_->hierarchy().flavour == Flavour::Joliet;
  out.moveTo(lPathTable_ - layout.startLba);
  out.addBytes(std::move(l), joliet ? "the Joliet path table" : "the path table");
  std::vector<std::uint8_t> m = pathTable(true);
  m.resize(std::size_t{tableBlocks} * kBlockSize);
  out.moveTo(mPathTable_ - layout.startLba);
  out.addBytes(std::move(m), joliet ? "the Joliet path table" : "the path table");
  // The directories are made when they are read, from the folders' entries.
  records_->setExtents(layout.closedExtents());
  const auto& directories = records_->hierarchy().directories;
  for (std::size_t index = 0; index < directories.size(); ++index) {
    const HierarchyDirectory& dir = directories[index];
    const auto part = static_cast<std::uint32_t>(2 * index);
    out.moveTo(dir.lba - layout.startLba);
    out.addGenerated(records_, part, dir.bytes, (joliet ? "the Joliet directory " : "the directory ") + dir.treePath);
    if (dir.continuationBytes > 0) {
      out.moveTo(dir.continuationLba - layout.startLba);
      out.addGenerated(records_, part + 1, dir.continuationBytes,
                       "the continued records of the directory " + dir.treePath);
    }
  }
  return {};
}

}  // namespace emberline::image
