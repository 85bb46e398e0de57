#include "image/hierarchy_records.h"

#include <algorithm>
#include <cstring>

#include "image/directory_record.h"

namespace emberline::image {

namespace {

// Records never cross a block boundary: one that would is moved to the next block.
std::uint32_t placeRecord(std::uint32_t at, std::size_t length) {
  const std::uint32_t inBlock = at % kBlockSize;
  if (inBlock + length > kBlockSize) at += kBlockSize - inBlock;
  return at;
}

}  // namespace

// Each directory record of a folder: its own, its parent's, then one per
// entry, and a file's one per extent of at most kMaxExtentBytes. `visit`
// gets each record with its system use.
template <class Visit>
Status HierarchyRecords::forEachRecord(const std::vector<Extent>& extents, std::size_t index,
                                       ContinuationAreas& continued, Visit&& visit) {
  const auto& dirs = hierarchy_.directories;
  const HierarchyDirectory& dir = dirs[index];
  const HierarchyDirectory& parent = dirs[dir.parent];
  EMBERLINE_TRY(folder_.fill(hierarchy_, index));
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
  self.root = index == 0;
  withSystemUse(RecordFields{dir.lba, dir.bytes, dir.modified, kFlagDirectory, std::string_view("\0", 1), {}}, dir.node,
                true, self);
  // A relocated folder's '..' is the relocation folder; the one it came from is named apart.
  const HierarchyDirectory& home = dirs[dir.home];
  SystemUseRecord up = folderRecord(home, SystemUseRecord::Kind::Parent);
  if (dir.relocated) up.parentLink = home.lba;
  withSystemUse(RecordFields{parent.lba, parent.bytes, parent.modified, kFlagDirectory, std::string_view("\1", 1), {}},
                parent.node, true, up);
  for (const HierarchyEntry& entry : folder_.entries()) {
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
    if (entry.target >= extents.size())
      return fail(ErrorKind::Internal, "a file of " + dir.treePath + " has no place in the image");
    const Extent& extent = extents[entry.target];
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
  return {};
}

Status HierarchyRecords::count(const std::vector<Extent>& extents) {
  // Sizes first (they only depend on the records), so '..' can name its parent's size.
  for (std::size_t index = 0; index < hierarchy_.directories.size(); ++index) {
    std::uint32_t at = 0;
    ContinuationAreas continued(0);
    EMBERLINE_TRY(forEachRecord(extents, index, continued, [&](const RecordFields& record) {
      const std::size_t length = recordLength(record.identifier.size(), record.systemUse.size());
      at = placeRecord(at, length) + static_cast<std::uint32_t>(length);
    }));
    HierarchyDirectory& dir = hierarchy_.directories[index];
    dir.bytes = blocksFor(at) * kBlockSize;
    dir.continuationBytes = continued.bytes();
  }
  made_ = SIZE_MAX;
  return {};
}

Status HierarchyRecords::make(std::size_t index) {
  if (!extents_) return fail(ErrorKind::Internal, "the directories were read before the image was laid out");
  const HierarchyDirectory& dir = hierarchy_.directories[index];
  made_ = SIZE_MAX;
  records_.assign(dir.bytes, 0);
  ContinuationAreas continued(dir.continuationLba);
  std::uint32_t at = 0;
  bool fits = true;
  EMBERLINE_TRY(forEachRecord(*extents_, index, continued, [&](const RecordFields& record) {
    const std::size_t length = recordLength(record.identifier.size(), record.systemUse.size());
    at = placeRecord(at, length);
    if (at + length > records_.size()) {
      fits = false;
      return;
    }
    writeDirectoryRecord(std::span(records_).subspan(at, length), record);
    at += static_cast<std::uint32_t>(length);
  }));
  if (!fits || continued.bytes() != dir.continuationBytes)
    return fail(ErrorKind::Internal, "the records of " + dir.treePath + " changed after they were counted");
  continuation_ = continued.take();
  made_ = index;
  return {};
}

Status HierarchyRecords::fill(std::uint32_t part, std::uint64_t offset, std::span<std::uint8_t> out) {
  const std::size_t index = part / 2;
  if (index >= hierarchy_.directories.size()) return fail(ErrorKind::Internal, "no such folder in the image");
  if (made_ != index) EMBERLINE_TRY(make(index));
  const std::vector<std::uint8_t>& bytes = part % 2 == 0 ? records_ : continuation_;
  if (offset > bytes.size() || out.size() > bytes.size() - offset)
    return fail(ErrorKind::Internal, "a read past the records of " + hierarchy_.directories[index].treePath);
  std::memcpy(out.data(), bytes.data() + offset, out.size());
  return {};
}

}  // namespace emberline::image
