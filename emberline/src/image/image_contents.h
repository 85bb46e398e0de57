#pragma once
/// @file The image as a sequence of block runs: bytes held in memory, or a source file read later.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "image/image_layout.h"
#include "image/name_arena.h"

namespace emberline::image {

/// Bytes of the image that are made when they are read instead of held:
/// a big tree's directory records would otherwise stand in memory whole
/// until the image is streamed.
class GeneratedBytes {
 public:
  virtual ~GeneratedBytes() = default;
  /// Fills `out` with the bytes of piece `part`, from `offset` within it on.
  virtual Status fill(std::uint32_t part, std::uint64_t offset, std::span<std::uint8_t> out) = 0;
};

/// One run of the image. A big tree has one per file, so a segment keeps
/// its bytes and its source's path in lists of the contents, not of its own.
struct ImageSegment {
  enum class Kind : std::uint8_t { Zeros, Memory, File, Generated };

  std::uint64_t offset = 0;  ///< byte offset in the image
  std::uint64_t length = 0;  ///< whole blocks
  /// Bytes held (Memory), made (Generated) or the source's size when the
  /// tree was filled (File); zeros follow up to `length`.
  std::uint64_t stored = 0;
  /// File: the source's last name; Memory, Generated: what the bytes are ("the directory /a"); in the contents' pool.
  const char* leaf = nullptr;
  /// File: its last name on the disc, in the pool (often the source's own text).
  const char* discLeaf = nullptr;
  /// Memory: index of its bytes; File: index of its source's folder; Generated: index of its maker.
  std::uint32_t place = 0;
  std::uint32_t discPlace = 0;  ///< File: index of its folder on the disc
  std::uint16_t leafLength = 0;
  std::uint16_t discLeafLength = 0;
  Kind kind = Kind::Zeros;
};

/// Writers put their pieces where they laid them out; what no writer fills
/// (the gap before a block claimed at a fixed place) reads as zeros.
class ImageContents {
 public:
  /// The next pieces go at `block`, counted from the image start.
  void moveTo(std::uint32_t block) { cursor_ = std::uint64_t{block} * kBlockSize; }
  void addZeros(std::uint32_t blocks);
  /// Bytes padded with zeros to whole blocks; `what` names them for messages ("the directory /a").
  void addBytes(std::vector<std::uint8_t> bytes, std::string_view what = {});
  /// A file read from `source` whose path on the disc is `discPath` ("/a/b.txt"; empty for one
  /// that no folder of the disc lists, such as a boot image).
  void addFile(const std::string& source, std::uint64_t bytes, std::string_view discPath = {});
  /// `bytes` bytes that `source` makes as piece `part` when they are read, padded with zeros to
  /// whole blocks; `what` names them for messages.
  void addGenerated(std::shared_ptr<GeneratedBytes> source, std::uint32_t part, std::uint64_t bytes,
                    std::string_view what = {});
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
  /// Fills `out` with what a Generated segment holds from `offset` on.
  Status fill(const ImageSegment& segment, std::uint64_t offset, std::span<std::uint8_t> out) const {
    const Maker& maker = makers_[segment.place];
    return maker.source->fill(maker.part, offset, out);
  }
  /// The local file a File segment is read from.
  std::string sourceOf(const ImageSegment& segment) const;
  /// Where a File segment's file lies on the disc; its source when no folder of the disc lists it.
  std::string discPathOf(const ImageSegment& segment) const;
  /// What a Memory or Generated segment's bytes are, as it was added; empty when it was not told.
  std::string_view describe(const ImageSegment& segment) const {
    const bool told = segment.kind == ImageSegment::Kind::Memory || segment.kind == ImageSegment::Kind::Generated;
    return told && segment.leaf != nullptr ? std::string_view(segment.leaf, segment.leafLength) : std::string_view();
  }

 private:
  void add(ImageSegment segment);
  void placeOnDisc(ImageSegment& segment, std::string_view discPath);
  void name(ImageSegment& segment, std::string_view what);

  static constexpr std::size_t kGapRoom = 64;
  static constexpr std::uint32_t kNoFolder = 0xFFFFFFFF;
  static constexpr std::size_t kLongestLeaf = 0xFFFF;

  std::vector<ImageSegment> segments_;
  struct Maker {
    std::shared_ptr<GeneratedBytes> source;
    std::uint32_t part;
  };

  std::vector<std::vector<std::uint8_t>> held_;  ///< the bytes of the Memory segments
  std::vector<Maker> makers_;                    ///< what makes the Generated segments
  /// The folders of the File segments' sources, packed: the files of one
  /// folder, added one after another, share one.
  std::vector<std::string_view> folders_;
  std::vector<std::string_view> discFolders_;  ///< the same for their folders on the disc
  TextPool<char> texts_;                       ///< the folders' paths and the sources' names
  std::uint64_t cursor_ = 0;
  std::uint64_t end_ = 0;
};

}  // namespace emberline::image
