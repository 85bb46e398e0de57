#include "image/file_data_writer.h"

namespace emberline::image {

std::size_t FileDataWriter::addSource(const std::string& path, std::uint64_t bytes) {
  const std::size_t extent = layout_.addExtent(bytes);
  files_.push_back(DataFile{path, extent});
  return extent;
}

std::size_t FileDataWriter::extentOf(const TreeNode& file) {
  auto found = extentOfNode_.find(&file);
  if (found != extentOfNode_.end()) return found->second;
  const std::size_t extent = addSource(file.source, file.size);
  extentOfNode_.emplace(&file, extent);
  return extent;
}

Status FileDataWriter::countBlocks(ImageLayout& layout) {
  // Empty files take no block; they point at where the data area starts.
  const std::uint32_t dataStart = layout.startLba + layout.nextBlock;
  for (const DataFile& file : files_) {
    Extent& extent = layout.extents[file.extent];
    const std::uint64_t blocks = blocksFor(extent.bytes);
    if (layout.nextBlock + blocks > 0xFFFFFFFFull - layout.startLba)
      return fail(ErrorKind::InvalidArgument, "the image would pass the last address a volume can hold");
    extent.lba = extent.bytes == 0 ? dataStart : layout.reserve(static_cast<std::uint32_t>(blocks));
  }
  return {};
}

Status FileDataWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  for (const DataFile& file : files_) out.addFile(file.source, layout.extents[file.extent].bytes);
  return {};
}

}  // namespace emberline::image
