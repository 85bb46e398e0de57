#include "image/file_data_writer.h"

#include <algorithm>

namespace emberline::image {

std::size_t FileDataWriter::addFile(const TreeNode* node, std::uint32_t outsidePath, std::uint64_t bytes) {
  const std::size_t extent = layout_.addExtent(bytes);
  files_.push_back(DataFile{node, outsidePath, static_cast<std::uint32_t>(extent), std::nullopt});
  return extent;
}

std::size_t FileDataWriter::addSource(const std::string& path, std::uint64_t bytes) {
  outsidePaths_.push_back(path);
  return addFile(nullptr, static_cast<std::uint32_t>(outsidePaths_.size() - 1), bytes);
}

void FileDataWriter::reserve(std::size_t files) {
  files_.reserve(files_.size() + files);
  layout_.extents.reserve(layout_.extents.size() + files);
  extentOfNode_.reserve(extentOfNode_.size() + files);
}

std::string FileDataWriter::sourceOf(const DataFile& file) const {
  return file.node != nullptr ? file.node->source() : outsidePaths_[file.outsidePath];
}

Status FileDataWriter::placeFirst(const std::vector<DataPlacement>& first) {
  for (const DataPlacement& placement : first) {
    const TreeNode& file = *placement.file;
    if (file.folder) return fail(ErrorKind::InvalidArgument, file.treePath() + " is a folder: only files have data");
    if (file.outsideLba)
      return fail(ErrorKind::InvalidArgument, file.treePath() + " lies outside the image: it has no data to place");
    if (extentOfNode_.count(&file) != 0) return fail(ErrorKind::InvalidArgument, file.treePath() + " is placed twice");
    const std::size_t extent = addFile(&file, 0, file.size);
    extentOfNode_.emplace(&file, extent);
    files_.back().block = placement.block;
  }
  return {};
}

Status FileDataWriter::claimBlocks(ImageLayout& layout) {
  for (const DataFile& file : files_)
    if (file.block)
      EMBERLINE_TRY(layout.claimAt(*file.block, blocksFor(layout.extents[file.extent].bytes), sourceOf(file)));
  return {};
}

std::size_t FileDataWriter::extentOf(const TreeNode& file) {
  auto found = extentOfNode_.find(&file);
  if (found != extentOfNode_.end()) return found->second;
  std::size_t extent = 0;
  if (file.outsideLba) {
    // Another track holds the data (a Video CD's MPEG track): the record points there.
    extent = layout_.addExtent(file.size);
    layout_.extents[extent].lba = *file.outsideLba;
    layout_.extents[extent].outside = true;
  } else {
    extent = addFile(&file, 0, file.size);
  }
  extentOfNode_.emplace(&file, extent);
  return extent;
}

Status FileDataWriter::countBlocks(ImageLayout& layout) {
  // Empty files take no block; they point at where the data area starts.
  const std::uint32_t dataStart = layout.startLba + layout.nextBlock;
  for (const DataFile& file : files_) {
    Extent& extent = layout.extents[file.extent];
    const std::uint64_t blocks = blocksFor(extent.bytes);
    if (file.block) {
      extent.lba = layout.startLba + *file.block;
      // The files after a pinned one follow it; the gap before it stays zeros.
      layout.nextBlock = std::max(layout.nextBlock, *file.block + static_cast<std::uint32_t>(blocks));
      continue;
    }
    if (layout.nextBlock + blocks > 0xFFFFFFFFull - layout.startLba)
      return fail(ErrorKind::InvalidArgument, "the image would pass the last address a volume can hold");
    extent.lba = extent.bytes == 0 ? dataStart : layout.reserve(static_cast<std::uint32_t>(blocks));
  }
  return {};
}

Status FileDataWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  out.reserve(static_cast<std::size_t>(std::count_if(
      files_.begin(), files_.end(), [&](const DataFile& file) { return layout.extents[file.extent].bytes != 0; })));
  for (const DataFile& file : files_) {
    const Extent& extent = layout.extents[file.extent];
    if (extent.bytes == 0) continue;
    out.moveTo(extent.lba - layout.startLba);
    out.addFile(sourceOf(file), extent.bytes);
  }
  return {};
}

}  // namespace emberline::image
