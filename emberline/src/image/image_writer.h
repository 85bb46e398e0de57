#pragma once
/// @file One part of an image: it counts its blocks, writes its volume descriptors, then its data.

#include <cstdint>
#include <vector>

#include "core/result.h"
#include "image/image_contents.h"
#include "image/image_layout.h"
#include "image/volume_descriptor.h"

namespace emberline::image {

class ImageWriter {
 public:
  virtual ~ImageWriter() = default;
  /// Volume descriptors this writer adds after the system area.
  virtual std::uint32_t descriptorCount() const { return 0; }
  /// Claims blocks at fixed places (an anchor at block 256, the image's last
  /// block); every writer claims before any writer counts.
  virtual Status claimBlocks(ImageLayout& layout) {
    (void)layout;
    return {};
  }
  /// Takes its blocks from `layout` and records where its extents go.
  virtual Status countBlocks(ImageLayout& layout) = 0;
  /// Appends its descriptors; every writer has counted its blocks by now.
  virtual void writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) {
    (void)layout;
    (void)out;
  }
  /// Appends exactly the blocks it counted.
  virtual Status writeData(const ImageLayout& layout, ImageContents& out) = 0;
};

}  // namespace emberline::image
