#pragma once
/// @file The file data area: every file once, read from its source while the image streams.

#include <optional>
#include <string>
#include <vector>

#include "image/hierarchy.h"
#include "image/image_writer.h"
#include "image/node_index.h"

namespace emberline::image {

/// A file whose data goes before the others, in the order given; `block`
/// pins its first block (counted from the image start), zeros filling the gap before it.
struct DataPlacement {
  const TreeNode* file = nullptr;
  std::optional<std::uint32_t> block;
};

class FileDataWriter final : public ImageWriter, public ExtentRegistry {
 public:
  explicit FileDataWriter(ImageLayout& layout) : layout_(layout) {}

  /// Room for `files` more files, so that big trees take no more than they need.
  void reserve(std::size_t files);
  /// A file outside the tree (the boot image); data goes first.
  std::size_t addSource(const std::string& path, std::uint64_t bytes);
  /// Lays the data of `first` out before every other tree file.
  Status placeFirst(const std::vector<DataPlacement>& first);

  std::size_t extentOf(const TreeNode& file) override;
  std::uint64_t bytesOf(std::size_t extent) const override { return layout_.extents[extent].bytes; }

  /// Claims the pinned blocks, so that no other writer takes them.
  Status claimBlocks(ImageLayout& layout) override;
  Status countBlocks(ImageLayout& layout) override;
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

 private:
  /// One entry per file of the tree, so it holds no path of its own.
  struct DataFile {
    const TreeNode* node;       ///< null for a file outside the tree
    std::uint32_t outsidePath;  ///< index in outsidePaths_ when `node` is null
    std::uint32_t extent;
    std::uint32_t block = 0;  ///< with `pinned`: the first block, counted from the image start
    bool pinned = false;
    /// The data lies outside the image (another track): the file has an extent but no place here.
    bool outsideImage = false;
  };

  std::string sourceOf(const DataFile& file) const;
  std::size_t addFile(const TreeNode* node, std::uint32_t outsidePath, std::uint64_t bytes);
  auto nodeOf() const {
    return [this](std::uint32_t entry) { return files_[entry].node; };
  }

  ImageLayout& layout_;
  std::vector<DataFile> files_;  ///< in the order their data is laid out
  std::vector<std::string> outsidePaths_;
  NodeIndex fileOfNode_;  ///< the entry of files_ each tree file has
};

}  // namespace emberline::image
