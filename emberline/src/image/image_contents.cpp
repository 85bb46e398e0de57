#include "image/image_contents.h"

namespace emberline::image {

void ImageContents::addZeros(std::uint32_t blocks) {
  if (blocks == 0) return;
  ImageSegment segment;
  segment.offset = end_;
  segment.length = std::uint64_t{blocks} * kBlockSize;
  end_ += segment.length;
  segments_.push_back(std::move(segment));
}

void ImageContents::addBytes(std::vector<std::uint8_t> bytes) {
  if (bytes.empty()) return;
  ImageSegment segment;
  segment.offset = end_;
  segment.length = std::uint64_t{blocksFor(bytes.size())} * kBlockSize;
  segment.bytes = std::move(bytes);
  end_ += segment.length;
  segments_.push_back(std::move(segment));
}

void ImageContents::addFile(const std::string& source, std::uint64_t bytes) {
  if (bytes == 0) return;
  ImageSegment segment;
  segment.offset = end_;
  segment.length = std::uint64_t{blocksFor(bytes)} * kBlockSize;
  segment.source = source;
  segment.sourceBytes = bytes;
  segment.file = true;
  end_ += segment.length;
  segments_.push_back(std::move(segment));
}

}  // namespace emberline::image
