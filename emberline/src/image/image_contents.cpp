#include "image/image_contents.h"

#include <algorithm>

namespace emberline::image {

void ImageContents::add(ImageSegment segment) {
  segment.offset = cursor_;
  cursor_ += segment.length;
  end_ = std::max(end_, cursor_);
  segments_.push_back(segment);
}

void ImageContents::addZeros(std::uint32_t blocks) {
  if (blocks == 0) return;
  ImageSegment segment;
  segment.length = std::uint64_t{blocks} * kBlockSize;
  add(segment);
}

void ImageContents::name(ImageSegment& segment, std::string_view what) {
  if (what.empty()) return;
  const std::string_view stored = texts_.store(what.substr(0, kLongestLeaf));
  segment.leaf = stored.data();
  segment.leafLength = static_cast<std::uint16_t>(stored.size());
}

void ImageContents::addBytes(std::vector<std::uint8_t> bytes, std::string_view what) {
  if (bytes.empty()) return;
  ImageSegment segment;
  segment.kind = ImageSegment::Kind::Memory;
  name(segment, what);
  segment.length = std::uint64_t{blocksFor(bytes.size())} * kBlockSize;
  segment.stored = bytes.size();
  segment.place = static_cast<std::uint32_t>(held_.size());
  held_.push_back(std::move(bytes));
  add(segment);
}

void ImageContents::addGenerated(std::shared_ptr<GeneratedBytes> source, std::uint32_t part, std::uint64_t bytes,
                                 std::string_view what) {
  if (bytes == 0) return;
  ImageSegment segment;
  segment.kind = ImageSegment::Kind::Generated;
  name(segment, what);
  segment.length = std::uint64_t{blocksFor(bytes)} * kBlockSize;
  segment.stored = bytes;
  segment.place = static_cast<std::uint32_t>(makers_.size());
  makers_.push_back(Maker{std::move(source), part});
  add(segment);
}

void ImageContents::addFile(const std::string& source, std::uint64_t bytes, std::string_view discPath) {
  if (bytes == 0) return;
  ImageSegment segment;
  segment.kind = ImageSegment::Kind::File;
  segment.length = std::uint64_t{blocksFor(bytes)} * kBlockSize;
  segment.stored = bytes;
  // A path's last name is short (a file system limits it); its folder is
  // usually the one of the file added just before.
  const std::string_view path(source);
  const std::size_t slash = path.rfind('/');
  std::string_view folder = path;  // a name too long to be one is kept whole, as a folder
  std::string_view leaf;
  if (slash == std::string_view::npos && path.size() <= kLongestLeaf) {
    folder = {};
    leaf = path;
    segment.place = kNoFolder;
  } else if (slash != std::string_view::npos && path.size() - slash - 1 <= kLongestLeaf) {
    folder = path.substr(0, slash);
    leaf = path.substr(slash + 1);
  }
  if (segment.place != kNoFolder) {
    if (folders_.empty() || folders_.back() != folder) folders_.push_back(texts_.store(folder));
    segment.place = static_cast<std::uint32_t>(folders_.size() - 1);
  }
  const std::string_view stored = texts_.store(leaf);
  segment.leaf = stored.data();
  segment.leafLength = static_cast<std::uint16_t>(stored.size());
  placeOnDisc(segment, discPath);
  add(segment);
}

void ImageContents::placeOnDisc(ImageSegment& segment, std::string_view discPath) {
  segment.discPlace = kNoFolder;
  const std::size_t slash = discPath.rfind('/');
  if (slash == std::string_view::npos || discPath.size() - slash - 1 > kLongestLeaf) return;
  const std::string_view folder = discPath.substr(0, slash);
  const std::string_view leaf = discPath.substr(slash + 1);
  if (discFolders_.empty() || discFolders_.back() != folder) discFolders_.push_back(texts_.store(folder));
  segment.discPlace = static_cast<std::uint32_t>(discFolders_.size() - 1);
  // A file usually keeps its source's name on the disc: the text is shared then.
  const std::string_view sourceLeaf(segment.leaf, segment.leafLength);
  const std::string_view stored = leaf == sourceLeaf ? sourceLeaf : texts_.store(leaf);
  segment.discLeaf = stored.data();
  segment.discLeafLength = static_cast<std::uint16_t>(stored.size());
}

std::string ImageContents::sourceOf(const ImageSegment& segment) const {
  const std::string_view leaf(segment.leaf, segment.leafLength);
  if (segment.place == kNoFolder) return std::string(leaf);
  std::string path(folders_[segment.place]);
  if (!leaf.empty()) {
    path += '/';
    path += leaf;
  }
  return path;
}

std::string ImageContents::discPathOf(const ImageSegment& segment) const {
  if (segment.discPlace == kNoFolder) return sourceOf(segment);
  std::string path(discFolders_[segment.discPlace]);
  path += '/';
  path.append(segment.discLeaf, segment.discLeafLength);
  return path;
}

Status ImageContents::finish(std::uint32_t totalBlocks) {
  const std::uint64_t total = std::uint64_t{totalBlocks} * kBlockSize;
  const auto earlier = [](const ImageSegment& a, const ImageSegment& b) { return a.offset < b.offset; };
  // Usually in order already; sorting anyway would take a buffer half the list's size.
  if (!std::is_sorted(segments_.begin(), segments_.end(), earlier))
    std::stable_sort(segments_.begin(), segments_.end(), earlier);
  // Gaps are counted first and the segments spread out in place from the
  // back: with one segment per file, a second list would double the cost.
  std::size_t gaps = 0;
  std::uint64_t at = 0;
  for (const ImageSegment& segment : segments_) {
    if (segment.offset < at)
      return fail(ErrorKind::Internal,
                  "two parts of the image overlap at block " + std::to_string(segment.offset / kBlockSize));
    if (segment.offset > at) ++gaps;
    at = segment.offset + segment.length;
  }
  if (at > total)
    return fail(ErrorKind::Internal,
                "a part of the image ends after its last block (" + std::to_string(totalBlocks) + ")");
  const std::uint64_t end = at;
  if (end < total) ++gaps;
  std::size_t from = segments_.size();
  segments_.resize(segments_.size() + gaps);
  std::size_t to = segments_.size();
  const auto putGap = [&](std::uint64_t first, std::uint64_t last) {
    ImageSegment gap;
    gap.offset = first;
    gap.length = last - first;
    segments_[--to] = std::move(gap);
  };
  if (end < total) putGap(end, total);
  while (from > 0) {
    ImageSegment& segment = segments_[--from];
    const std::uint64_t before = from > 0 ? segments_[from - 1].offset + segments_[from - 1].length : 0;
    const std::uint64_t offset = segment.offset;
    if (to - 1 != from) segments_[to - 1] = std::move(segment);
    --to;
    if (offset > before) putGap(before, offset);
  }
  end_ = total;
  cursor_ = total;
  return {};
}

}  // namespace emberline::image
