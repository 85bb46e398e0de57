#include "image/image_contents.h"

#include <algorithm>

namespace emberline::image {

void ImageContents::add(ImageSegment segment) {
  segment.offset = cursor_;
  cursor_ += segment.length;
  end_ = std::max(end_, cursor_);
  segments_.push_back(std::move(segment));
}

void ImageContents::addZeros(std::uint32_t blocks) {
  if (blocks == 0) return;
  ImageSegment segment;
  segment.length = std::uint64_t{blocks} * kBlockSize;
  add(std::move(segment));
}

void ImageContents::addBytes(std::vector<std::uint8_t> bytes) {
  if (bytes.empty()) return;
  ImageSegment segment;
  segment.length = std::uint64_t{blocksFor(bytes.size())} * kBlockSize;
  segment.bytes = std::move(bytes);
  add(std::move(segment));
}

void ImageContents::addFile(const std::string& source, std::uint64_t bytes) {
  if (bytes == 0) return;
  ImageSegment segment;
  segment.length = std::uint64_t{blocksFor(bytes)} * kBlockSize;
  segment.source = source;
  segment.sourceBytes = bytes;
  segment.file = true;
  add(std::move(segment));
}

Status ImageContents::finish(std::uint32_t totalBlocks) {
  const std::uint64_t total = std::uint64_t{totalBlocks} * kBlockSize;
  std::stable_sort(segments_.begin(), segments_.end(),
                   [](const ImageSegment& a, const ImageSegment& b) { return a.offset < b.offset; });
  std::vector<ImageSegment> filled;
  filled.reserve(segments_.size());
  std::uint64_t at = 0;
  for (ImageSegment& segment : segments_) {
    if (segment.offset < at)
      return fail(ErrorKind::Internal,
                  "two parts of the image overlap at block " + std::to_string(segment.offset / kBlockSize));
    if (segment.offset > at) {
      ImageSegment gap;
      gap.offset = at;
      gap.length = segment.offset - at;
      filled.push_back(std::move(gap));
    }
    at = segment.offset + segment.length;
    filled.push_back(std::move(segment));
  }
  if (at > total)
    return fail(ErrorKind::Internal,
                "a part of the image ends after its last block (" + std::to_string(totalBlocks) + ")");
  if (at < total) {
    ImageSegment gap;
    gap.offset = at;
    gap.length = total - at;
    filled.push_back(std::move(gap));
  }
  segments_ = std::move(filled);
  end_ = total;
  cursor_ = total;
  return {};
}

}  // namespace emberline::image
