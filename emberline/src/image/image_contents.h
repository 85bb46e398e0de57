#pragma once
/// @file The image as a sequence of block runs: bytes held in memory, or a source file read later.

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"
#include "image/image_layout.h"
#include "image/name_arena.h"

namespace emberline::image {

struct ImageSegment {
  std::uint64_t offset = 0;         ///< byte offset in the image
  std::uint64_t length = 0;         ///< whole blocks
  std::vector<std::uint8_t> bytes;  ///< memory segments; shorter than length means zeros follow
  std::string_view source;          ///< file segments: the local file (held by the contents)
  std::uint64_t sourceBytes = 0;    ///< its size when the tree was filled
  bool file = false;
};

/// Writers put their pieces where they laid them out; what no writer fills
/// (the gap before a block claimed at a fixed place) reads as zeros.
class ImageContents {
 public:
  /// The next pieces go at `block`, counted from the image start.
  void moveTo(std::uint32_t block) { cursor_ = std::uint64_t{block} * kBlockSize; }
  void addZeros(std::uint32_t blocks);
  /// Bytes padded with zeros to whole blocks.
  void addBytes(std::vector<std::uint8_t> bytes);
  void addFile(const std::string& source, std::uint64_t bytes);
  /// Room for `more` pieces beyond those added, and for the gaps `finish` adds.
  void reserve(std::size_t more) { segments_.reserve(segments_.size() + more + kGapRoom); }

  /// Puts the pieces in order, fills the gaps with zeros up to `totalBlocks`,
  /// and fails when two pieces overlap or one passes the end.
  Status finish(std::uint32_t totalBlocks);

  std::uint32_t nextBlock() const { return static_cast<std::uint32_t>(cursor_ / kBlockSize); }
  std::uint64_t size() const { return end_; }
  const std::vector<ImageSegment>& segments() const { return segments_; }

 private:
  void add(ImageSegment segment);

  static constexpr std::size_t kGapRoom = 64;

  std::vector<ImageSegment> segments_;
  TextPool<char> sources_;  ///< the paths of the file segments, packed
  std::uint64_t cursor_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace emberline::image
