#pragma once
/**
 * @file
 * A built image read front to back: metadata comes from memory, file data
 * straight from the source files, so memory use does not grow with the image.
 */

#include <cstdint>
#include <span>

#include "core/result.h"
#include "image/image_contents.h"
#include "image/source_reader.h"

namespace emberline::image {

class ImageStream {
 public:
  explicit ImageStream(ImageContents contents) : contents_(std::move(contents)) {}

  std::uint64_t size() const { return contents_.size(); }
  std::uint64_t position() const { return position_; }
  /// Fills `out` with the next bytes; fails without moving on a read past the end or a changed source.
  Status read(std::span<std::uint8_t> out);
  void seekToBegin();
  /// What the image is made of: which source file lies at which offset.
  const ImageContents& contents() const { return contents_; }

 private:
  ImageContents contents_;
  SourceReader reader_;
  std::uint64_t position_ = 0;
  std::size_t segment_ = 0;  ///< where the last read ended, so sequential reads do not search
};

}  // namespace emberline::image
