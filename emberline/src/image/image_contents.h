#pragma once
/// @file The image as a sequence of block runs: bytes held in memory, or a source file read later.

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"
#include "image/image_layout.h"
#include "image/name_arena.h"

namespace emberline::image {

/// One run of the image. A big tree has one per file, so a segment keeps
/// its bytes and its source's path in lists of the contents, not of its own.
struct ImageSegment {
  enum class Kind : std::uint8_t { Zeros, Memory, File };

  std::uint64_t offset = 0;  ///< byte offset in the image
  std::uint64_t length = 0;  ///< whole blocks
  /// Bytes held (Memory) or the source's size when the tree was filled
  /// (File); zeros follow up to `length`.
  std::uint64_t stored = 0;
  const char* leaf = nullptr;  ///< File: the source's last name, in the contents' pool
  std::uint32_t place = 0;     ///< Memory: index of its bytes; File: index of its source's folder
  std::uint16_t leafLength = 0;
  Kind kind = Kind::Zeros;
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
  /// What a Memory segment holds.
  const std::vector<std::uint8_t>& bytesOf(const ImageSegment& segment) const { return held_[segment.place]; }
  /// The local file a File segment is read from.
  std::string sourceOf(const ImageSegment& segment) const;

 private:
  void add(ImageSegment segment);

  static constexpr std::size_t kGapRoom = 64;
  static constexpr std::uint32_t kNoFolder = 0xFFFFFFFF;
  static constexpr std::size_t kLongestLeaf = 0xFFFF;

  std::vector<ImageSegment> segments_;
  std::vector<std::vector<std::uint8_t>> held_;  ///< the bytes of the Memory segments
  /// The folders of the File segments' sources, packed: the files of one
  /// folder, added one after another, share one.
  std::vector<std::string_view> folders_;
  TextPool<char> texts_;  ///< the folders' paths and the sources' names
  std::uint64_t cursor_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace emberline::image
