#include "image/udf/udf_writer.h"

#include <algorithm>

#include "image/joliet_names.h"
#include "image/udf/udf_fields.h"
#include "image/utf8.h"

namespace emberline::image::udf {

namespace {

constexpr std::uint32_t kFileSetBlocks = 2;  // the file set descriptor and its terminator
constexpr std::size_t kEntryHeader = 176;
constexpr std::size_t kIdentifierHeader = 38;
constexpr std::size_t kMaxNameBytes = 255;
/// The longest extent one short allocation descriptor records: the largest block multiple below 1 GiB.
constexpr std::uint64_t kMaxShortExtent = 0x3FFFF800;
constexpr std::uint64_t kFirstUniqueId = 16;  // 1 to 15 are reserved; the root has 0

constexpr std::uint8_t kDirectoryType = 4;
constexpr std::uint8_t kFileType = 5;
/// ICB flags: short allocation descriptors, non-relocatable, archive, contiguous.
constexpr std::uint16_t kEntryFlags = 0x0230;

std::size_t identifierBytes(std::size_t nameBytes) {
  return (kIdentifierHeader + nameBytes + 3) & ~std::size_t{3};
}

/// Read for everyone; folders may also be searched.
std::uint32_t permissions(bool folder) {
  const std::uint32_t each = folder ? 0x5 : 0x4;  // read (4), execute (1)
  return each | each << 5 | each << 10;
}

void putLongAd(Bytes b, std::size_t at, std::uint32_t bytes, std::uint32_t block, std::uint64_t uniqueId) {
  put32(b, at, bytes);
  put32(b, at + 4, block);
  put16(b, at + 8, 0);   // partition reference
  put16(b, at + 10, 0);  // implementation use: flags, then the low half of the unique ID
  put32(b, at + 12, static_cast<std::uint32_t>(uniqueId));
}

std::uint32_t blocksOf(std::uint64_t bytes) {
  return static_cast<std::uint32_t>((bytes + kBlockSize - 1) / kBlockSize);
}

}  // namespace

UdfWriter::UdfWriter(UdfEntry root, UdfVolumeText text) : root_(std::move(root)), text_(std::move(text)) {
  root_.folder = true;
  // The label is cleaned as the Joliet one is, so both name spaces show the same label; each
  // descriptor field cuts it to its own length.
  text_.volumeId = utf8FromUcs2(jolietIdentifier(text_.volumeId, text_.volumeId.size()));
}

Status UdfWriter::place(const UdfEntry& entry, std::size_t parent, std::uint32_t& block) {
  const std::size_t index = placed_.size();
  Placed placed;
  placed.entry = &entry;
  placed.parent = parent;
  placed.uniqueId = index == 0 ? 0 : kFirstUniqueId + index - 1;
  placed.entryBlock = block++;
  if (entry.folder) {
    std::uint64_t bytes = identifierBytes(0);  // the parent entry
    for (const UdfEntry& child : entry.children) {
      if (child.name.empty()) return fail(ErrorKind::InvalidArgument, "a UDF entry has no name");
      // Cutting a name could make two entries of one folder alike; refuse instead.
      if (compressedName(child.name, kMaxNameBytes + 2).size() > kMaxNameBytes)
        return fail(ErrorKind::InvalidArgument, child.name + " is longer than a UDF name may be");
      bytes += identifierBytes(compressedName(child.name, kMaxNameBytes).size());
    }
    if (bytes > kMaxShortExtent)
      return fail(ErrorKind::InvalidArgument, "the UDF folder " + entry.name + " holds too many entries");
    placed.dataBlock = block;
    placed.dataBytes = static_cast<std::uint32_t>(bytes);
    block += blocksOf(bytes);
    ++folders_;
  } else {
    ++files_;
  }
  placed_.push_back(placed);
  // Folders first, each followed by its own entries, so a folder's structure stays together.
  for (const UdfEntry& child : entry.children) {
    const std::size_t childIndex = placed_.size();
    EMBERLINE_TRY(place(child, index, block));
    placed_[index].children.push_back(childIndex);
  }
  return {};
}

Status UdfWriter::countBlocks(ImageLayout& layout) {
  placed_.clear();
  files_ = folders_ = 0;
  partitionStart_ = layout.startLba + layout.nextBlock;
  std::uint32_t block = kFileSetBlocks;
  EMBERLINE_TRY(place(root_, 0, block));
  metadataBlocks_ = block;
  layout.reserve(metadataBlocks_);
  return {};
}

Status UdfWriter::fileEntry(const Placed& placed, const ImageLayout& layout, Bytes out) const {
  const UdfEntry& entry = *placed.entry;
  // Allocation descriptors: the folder's identifiers, or the file's extent cut into pieces short ones can hold.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pieces;  // bytes, partition-relative block
  std::uint64_t length = 0;
  if (entry.folder) {
    length = placed.dataBytes;
    pieces.emplace_back(placed.dataBytes, placed.dataBlock);
  } else {
    if (entry.extent >= layout.extents.size())
      return fail(ErrorKind::Internal, "a UDF file entry names an extent the layout does not have");
    const Extent& extent = layout.extents[entry.extent];
    length = extent.bytes;
    if (extent.bytes != 0 && extent.lba < partitionStart_)
      return fail(ErrorKind::Internal, "the data of " + entry.name + " lies before the UDF partition");
    std::uint32_t at = extent.lba - partitionStart_;
    for (std::uint64_t left = extent.bytes; left > 0;) {
      const std::uint64_t piece = std::min(left, kMaxShortExtent);
      pieces.emplace_back(static_cast<std::uint32_t>(piece), at);
      at += blocksOf(piece);
      left -= piece;
    }
  }
  const std::size_t adBytes = pieces.size() * 8;
  if (kEntryHeader + adBytes > kBlockSize)
    return fail(ErrorKind::InvalidArgument, entry.name + " is too large for one UDF file entry");

  std::size_t subfolders = 0;
  for (std::size_t child : placed.children) subfolders += placed_[child].entry->folder ? 1 : 0;
  const std::time_t when = entry.modified != 0 ? entry.modified : layout.created;
  put32(out, 16, 0);  // ICB tag: no prior entries
  put16(out, 20, 4);  // strategy 4: a single entry
  put16(out, 22, 0);
  put16(out, 24, 1);
  out[27] = entry.folder ? kDirectoryType : kFileType;
  put16(out, 34, kEntryFlags);
  put32(out, 36, 0xFFFFFFFF);  // owner and group: not recorded
  put32(out, 40, 0xFFFFFFFF);
  put32(out, 44, permissions(entry.folder));
  put16(out, 48, static_cast<std::uint16_t>(entry.folder ? std::min<std::size_t>(1 + subfolders, 0xFFFF) : 1));
  put64(out, 56, length);
  std::uint64_t recorded = 0;
  for (const auto& piece : pieces) recorded += blocksOf(piece.first);
  put64(out, 64, recorded);
  putTimestamp(out, 72, when);
  putTimestamp(out, 84, when);
  putTimestamp(out, 96, when);
  put32(out, 108, 1);  // checkpoint
  putEntity(out, 128, kImplementation, EntityKind::Implementation);
  put64(out, 160, placed.uniqueId);
  put32(out, 168, 0);
  put32(out, 172, static_cast<std::uint32_t>(adBytes));
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    put32(out, kEntryHeader + 8 * i, pieces[i].first);
    put32(out, kEntryHeader + 8 * i + 4, pieces[i].second);
  }
  finishTag(out.first(kEntryHeader + adBytes), Tag::FileEntry, placed.entryBlock);
  return {};
}

void UdfWriter::identifiers(const Placed& folder, Bytes out) const {
  std::size_t at = 0;
  auto add = [&](const Placed& target, bool parent, const std::vector<std::uint8_t>& name) {
    const std::size_t length = identifierBytes(name.size());
    Bytes fid = out.subspan(at, length);
    put16(fid, 16, 1);  // file version
    fid[18] = static_cast<std::uint8_t>((target.entry->folder ? 0x02 : 0) | (parent ? 0x08 : 0));
    fid[19] = static_cast<std::uint8_t>(name.size());
    putLongAd(fid, 20, kBlockSize, target.entryBlock, target.uniqueId);
    put16(fid, 36, 0);
    std::copy(name.begin(), name.end(), fid.begin() + kIdentifierHeader);
    finishTag(fid, Tag::FileIdentifier, folder.dataBlock + static_cast<std::uint32_t>(at / kBlockSize));
    at += length;
  };
  add(placed_[folder.parent], true, {});
  for (std::size_t child : folder.children)
    add(placed_[child], false, compressedName(placed_[child].entry->name, kMaxNameBytes));
}

Status UdfWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  std::vector<std::uint8_t> blocks(std::size_t{metadataBlocks_} * kBlockSize, 0);
  const Bytes all(blocks);

  Bytes fileSet = all.first(512);
  putTimestamp(fileSet, 16, layout.created);
  put16(fileSet, 28, 3);  // interchange level
  put16(fileSet, 30, 3);
  put32(fileSet, 32, 1);
  put32(fileSet, 36, 1);
  putCharSpec(fileSet, 48);
  putDString(fileSet.subspan(112, 128), text_.volumeId);
  putCharSpec(fileSet, 240);
  putDString(fileSet.subspan(304, 32), text_.volumeId);
  putLongAd(fileSet, 400, kBlockSize, placed_.front().entryBlock, 0);
  putEntity(fileSet, 416, kDomain, EntityKind::Domain);
  finishTag(fileSet, Tag::FileSet, 0);
  finishTag(all.subspan(kBlockSize, 512), Tag::Terminating, 1);

  for (const Placed& placed : placed_) {
    EMBERLINE_TRY(fileEntry(placed, layout, all.subspan(std::size_t{placed.entryBlock} * kBlockSize, kBlockSize)));
    if (placed.entry->folder)
      identifiers(placed, all.subspan(std::size_t{placed.dataBlock} * kBlockSize, placed.dataBytes));
  }
  out.addBytes(std::move(blocks), "the UDF file entries and folders");
  return {};
}

VolumeFacts UdfWriter::facts(const ImageLayout& layout) const {
  VolumeFacts f;
  f.volumeId = text_.volumeId;
  f.publisher = text_.publisher;
  f.applicationId = text_.applicationId;
  f.created = layout.created;
  f.partitionStart = partitionStart_;
  const std::uint32_t lastBlock = layout.startLba + layout.totalBlocks - 1;  // the closing anchor
  f.partitionBlocks = lastBlock > partitionStart_ ? lastBlock - partitionStart_ : 0;
  f.integrityBlock = layout.startLba + kIntegrityBlock;
  f.fileSetBlock = 0;
  return f;
}

std::vector<Sector> UdfWriter::volumeDescriptors(const ImageLayout& layout, std::uint32_t block) const {
  return volumeDescriptorSequence(facts(layout), layout.startLba + block, kVdsBlocks);
}

std::vector<Sector> UdfWriter::integrityDescriptors(const ImageLayout& layout) const {
  return integritySequence(facts(layout), VolumeCounts{files_, folders_, kFirstUniqueId + placed_.size() - 1});
}

Sector UdfWriter::anchor(const ImageLayout& layout, std::uint32_t block) const {
  return anchorPointer(layout.startLba + block, layout.startLba + kMainVdsBlock, layout.startLba + kReserveVdsBlock,
                       kVdsBlocks);
}

}  // namespace emberline::image::udf
