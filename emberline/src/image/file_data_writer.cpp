#include "image/file_data_writer.h"

#include <algorithm>

namespace emberline::image {

std::size_t FileDataWriter::addFile(const TreeNode* node, std::uint32_t outsidePath, std::uint64_t bytes) {
  const std::size_t extent = layout_.addExtent(bytes);
  files_.push_back(DataFile{node, outsidePath, static_cast<std::uint32_t>(extent)});
  if (node != nullptr) fileOfNode_.insert(node, static_cast<std::uint32_t>(files_.size() - 1), nodeOf());
  return extent;
}

std::size_t FileDataWriter::addSource(const std::string& path, std::uint64_t bytes) {
  outsidePaths_.push_back(path);
  return addFile(nullptr, static_cast<std::uint32_t>(outsidePaths_.size() - 1), bytes);
}

void FileDataWriter::reserve(std::size_t files) {
  files_.reserve(files_.size() + files);
  layout_.extents.reserve(layout_.extents.size() + files);
  fileOfNode_.reserve(files_.size() + files, static_cast<std::uint32_t>(files_.size()), nodeOf());
}

std::string FileDataWriter::sourceOf(const DataFile& file) const {
  return file.node != nullptr ? file.node->source() : outsidePaths_[file.outsidePath];
}

Status FileDataWriter::placeFirst(const std::vector<DataPlacement>& first) {
  for (const DataPlacement& placement : first) {
    const TreeNode& file = *placement.file;
    if (file.folder) return fail(ErrorKind::InvalidArgument, file.treePath() + " is a folder: only files have data");
    if (file.outside)
      return fail(ErrorKind::InvalidArgument, file.treePath() + " lies outside the image: it has no data to place");
    if (fileOfNode_.find(&file, nodeOf()))
      return fail(ErrorKind::InvalidArgument, file.treePath() + " is placed twice");
    addFile(&file, 0, file.size);
    if (placement.block) {
      files_.back().block = *placement.block;
      files_.back().pinned = true;
    }
  }
  return {};
}

Status FileDataWriter::claimBlocks(ImageLayout& layout) {
  for (const DataFile& file : files_)
    if (file.pinned)
      EMBERLINE_TRY(layout.claimAt(file.block, blocksFor(layout.extents[file.extent].bytes), sourceOf(file)));
  return {};
}

std::size_t FileDataWriter::extentOf(const TreeNode& file) {
  if (const auto known = fileOfNode_.find(&file, nodeOf())) return files_[*known].extent;
  const std::size_t extent = addFile(&file, 0, file.size);
  if (file.outside) {
    // Another track holds the data (a Video CD's MPEG track): the record points there.
    files_.back().outsideImage = true;
    layout_.extents[extent].lba = file.outsideLba;
    layout_.extents[extent].outside = true;
  }
  return extent;
}

Status FileDataWriter::countBlocks(ImageLayout& layout) {
  // Empty files take no block; they point at where the data area starts.
  const std::uint32_t dataStart = layout.startLba + layout.nextBlock;
  for (const DataFile& file : files_) {
    if (file.outsideImage) continue;
    Extent& extent = layout.extents[file.extent];
    const std::uint64_t blocks = blocksFor(extent.bytes);
    if (file.pinned) {
      extent.lba = layout.startLba + file.block;
      // The files after a pinned one follow it; the gap before it stays zeros.
      layout.nextBlock = std::max(layout.nextBlock, file.block + static_cast<std::uint32_t>(blocks));
      continue;
    }
    if (layout.nextBlock + blocks > 0xFFFFFFFFull - layout.startLba)
      return fail(ErrorKind::InvalidArgument, "the image would pass the last address a volume can hold");
    extent.lba = extent.bytes == 0 ? dataStart : layout.reserve(static_cast<std::uint32_t>(blocks));
  }
  return {};
}

Status FileDataWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  out.reserve(static_cast<std::size_t>(std::count_if(files_.begin(), files_.end(), [&](const DataFile& file) {
    return !file.outsideImage && layout.extents[file.extent].bytes != 0;
  })));
  for (const DataFile& file : files_) {
    const Extent& extent = layout.extents[file.extent];
    if (file.outsideImage || extent.bytes == 0) continue;
    out.moveTo(extent.lba - layout.startLba);
    out.addFile(sourceOf(file), extent.bytes, file.node != nullptr ? file.node->treePath() : std::string());
  }
  // The image has all it needs of the files now (the records were written
  // before): the list need not stay beside the finished contents.
  std::vector<DataFile>().swap(files_);
  fileOfNode_ = NodeIndex();
  return {};
}

}  // namespace emberline::image
