#include "image/hierarchy_writer.h"

#include <algorithm>

#include "image/both_endian.h"
#include "image/directory_record.h"

namespace emberline::image {

namespace {

// Records never cross a block boundary: one that would is moved to the next block.
std::uint32_t placeRecord(std::uint32_t at, std::size_t length) {
  const std::uint32_t inBlock = at % kBlockSize;
  if (inBlock + length > kBlockSize) at += kBlockSize - inBlock;
  return at;
}

std::size_t pathRecordLength(const HierarchyDirectory& dir) {
  return 8 + dir.identifier.size() + dir.identifier.size() % 2;
}

}  // namespace

// Each directory record of a folder: its own, its parent's, then one per
// entry, and a file's one per extent of at most kMaxExtentBytes. `visit`
// gets each record with its system use.
template <class Visit>
void HierarchyWriter::forEachRecord(const ImageLayout& layout, const HierarchyDirectory& dir,
                                    ContinuationAreas& continued, Visit&& visit) {
  const auto& dirs = hierarchy_.directories;
  const HierarchyDirectory& parent = dirs[dir.parent];
  const auto withSystemUse = [&](RecordFields fields, const TreeNode* node, bool directory,
                                 const SystemUseRecord& record) {
    std::vector<std::uint8_t> fixed;
    if (systemUse_) fixed = systemUse_(node, directory);
    std::vector<std::uint8_t> systemUse;
    if (planner_) {
      entries_.clear();
      // A record holds at most 255 bytes, its system use padded to an even length.
      const std::size_t room = 254 - recordLength(fields.identifier.size());
      SystemUseRecord asked = record;
      asked.room = room > fixed.size() ? room - fixed.size() : 0;
      planner_->entries(asked, entries_);
      systemUse = continued.place(fixed, entries_, room);
    } else {
      systemUse = std::move(fixed);
    }
    fields.systemUse = systemUse;
    visit(fields);
  };
  const auto folderRecord = [&](const HierarchyDirectory& folder, SystemUseRecord::Kind kind) {
    SystemUseRecord record;
    record.kind = kind;
    record.node = folder.node;
    record.directory = true;
    record.folders = folder.folders;
    record.modified = folder.modified;
    return record;
  };
  SystemUseRecord self = folderRecord(dir, SystemUseRecord::Kind::Self);
  self.root = &dir == &dirs.front();
  withSystemUse(RecordFields{dir.lba, dir.bytes, dir.modified, kFlagDirectory, std::string_view("\0", 1), {}}, dir.node,
                true, self);
  // A relocated folder's '..' is the relocation folder; the one it came from is named apart.
  const HierarchyDirectory& home = dirs[dir.home];
  SystemUseRecord up = folderRecord(home, SystemUseRecord::Kind::Parent);
  if (dir.relocated) up.parentLink = home.lba;
  withSystemUse(RecordFields{parent.lba, parent.bytes, parent.modified, kFlagDirectory, std::string_view("\1", 1), {}},
                parent.node, true, up);
  for (const HierarchyEntry& entry : dir.entries) {
    SystemUseRecord record;
    record.node = entry.node;
    record.modified = entry.modified;
    if (entry.directory || entry.relocated) {
      const HierarchyDirectory& child = dirs[entry.target];
      record.directory = true;
      record.folders = child.folders;
      record.name = child.node != nullptr ? child.node->name : std::string_view(hierarchy_.relocationName);
      if (entry.relocated) {
        // The folder's place: a file's record that points at it, with no data.
        record.childLink = child.lba;
        withSystemUse(RecordFields{child.lba, 0, entry.modified, 0, entry.identifier, {}}, entry.node, true, record);
        continue;
      }
      record.relocated = child.relocated;
      withSystemUse(RecordFields{child.lba, child.bytes, entry.modified, kFlagDirectory, entry.identifier, {}},
                    entry.node, true, record);
      continue;
    }
    if (entry.node != nullptr) {
      record.name = entry.node->name;
    } else {
      // A file of the image's own (the boot catalogue): its ISO 9660 name, without the version, in lower case.
      nameOfOwn_.assign(entry.identifier.substr(0, entry.identifier.find(';')));
      for (char& c : nameOfOwn_) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
      record.name = nameOfOwn_;
    }
    const Extent& extent = layout.extents[entry.target];
    std::uint64_t left = extent.bytes;
    std::uint32_t lba = extent.lba;
    do {
      const std::uint64_t part = std::min(left, kMaxExtentBytes);
      left -= part;
      withSystemUse(RecordFields{lba,
                                 static_cast<std::uint32_t>(part),
                                 entry.modified,
                                 static_cast<std::uint8_t>(left > 0 ? kFlagMultiExtent : 0),
                                 entry.identifier,
                                 {}},
                    entry.node, false, record);
      lba += static_cast<std::uint32_t>(part / kBlockSize);
    } while (left > 0);
  }
}

std::uint32_t HierarchyWriter::pathTableBytes() const {
  std::uint32_t bytes = 0;
  for (const auto& dir : hierarchy_.directories) bytes += static_cast<std::uint32_t>(pathRecordLength(dir));
  return bytes;
}

Status HierarchyWriter::countBlocks(ImageLayout& layout) {
  const std::uint32_t tableBlocks = blocksFor(pathTableBytes());
  lPathTable_ = layout.reserve(tableBlocks);
  mPathTable_ = layout.reserve(tableBlocks);
  // Sizes first (they only depend on the records), so '..' can name its parent's size.
  for (auto& dir : hierarchy_.directories) {
    std::uint32_t at = 0;
    ContinuationAreas continued(0);
    forEachRecord(layout, dir, continued, [&](const RecordFields& record) {
      const std::size_t length = recordLength(record.identifier.size(), record.systemUse.size());
      at = placeRecord(at, length) + static_cast<std::uint32_t>(length);
    });
    dir.bytes = blocksFor(at) * kBlockSize;
    dir.continuationBytes = continued.bytes();
  }
  for (auto& dir : hierarchy_.directories) dir.lba = layout.reserve(dir.bytes / kBlockSize);
  // Continuation areas after all the folders, each folder's in blocks of its own.
  for (auto& dir : hierarchy_.directories)
    if (dir.continuationBytes > 0) dir.continuationLba = layout.reserve(blocksFor(dir.continuationBytes));
  return {};
}

void HierarchyWriter::writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) {
  const HierarchyDirectory& root = hierarchy_.directories.front();
  VolumeFields fields;
  fields.joliet = hierarchy_.flavour == Flavour::Joliet;
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
  for (const auto& dir : hierarchy_.directories) {
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

std::vector<std::uint8_t> HierarchyWriter::directory(const ImageLayout& layout, const HierarchyDirectory& dir,
                                                     ContinuationAreas& continued) {
  std::vector<std::uint8_t> bytes(dir.bytes);
  std::uint32_t at = 0;
  forEachRecord(layout, dir, continued, [&](const RecordFields& record) {
    const std::size_t length = recordLength(record.identifier.size(), record.systemUse.size());
    at = placeRecord(at, length);
    writeDirectoryRecord(std::span(bytes).subspan(at, length), record);
    at += static_cast<std::uint32_t>(length);
  });
  return bytes;
}

Status HierarchyWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  const std::uint32_t tableBlocks = blocksFor(pathTableBytes());
  std::vector<std::uint8_t> l = pathTable(false);
  l.resize(std::size_t{tableBlocks} * kBlockSize);
  out.moveTo(lPathTable_ - layout.startLba);
  out.addBytes(std::move(l));
  std::vector<std::uint8_t> m = pathTable(true);
  m.resize(std::size_t{tableBlocks} * kBlockSize);
  out.moveTo(mPathTable_ - layout.startLba);
  out.addBytes(std::move(m));
  // Each folder's entries are let go once its records are written: nothing
  // reads them again, and a big tree's two hierarchies need not be held whole
  // beside the records.
  for (auto& dir : hierarchy_.directories) {
    ContinuationAreas continued(dir.continuationLba);
    out.moveTo(dir.lba - layout.startLba);
    out.addBytes(directory(layout, dir, continued));
    if (continued.bytes() != dir.continuationBytes)
      return fail(ErrorKind::Internal,
                  "the continuation areas of " + dir.treePath + " changed after they were counted");
    if (dir.continuationBytes > 0) {
      out.moveTo(dir.continuationLba - layout.startLba);
      out.addBytes(continued.take());
    }
    std::vector<HierarchyEntry>().swap(dir.entries);
    std::vector<char>().swap(dir.entryIdentifiers);
  }
  // Written whole: the identifiers go too (the descriptor and the tables were written before).
  hierarchy_.directories = {};
  hierarchy_.identifiers = NameArena();
  return {};
}

}  // namespace emberline::image
