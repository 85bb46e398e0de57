#pragma once
/**
 * @file
 * The UDF side of a bridge image as one writer of the image builder's list:
 * its recognition sequence follows the ISO 9660 set terminator, its volume
 * descriptors, integrity sequence and anchors sit at the fixed blocks UDF
 * readers look at, and its partition starts after the first anchor and runs
 * to the last block but one, so it covers the file data the ISO 9660 records
 * point at. The image ends on a 16-block ECC block boundary, so the closing
 * anchor is the last block of the recorded volume as well as of the file.
 */

#include <cstdint>
#include <functional>

#include "image/udf/udf_writer.h"

namespace emberline::image::udf {

class UdfBridgeWriter final : public ImageWriter {
 public:
  /// `counted`, when given, is told the first block after the file structures once they are counted:
  /// the file data that follows them can start no earlier.
  UdfBridgeWriter(UdfEntry root, UdfVolumeText text, std::function<void(std::uint32_t)> counted = {})
      : udf_(std::move(root), std::move(text)), counted_(std::move(counted)) {}

  std::uint32_t descriptorCount() const override { return kRecognitionBlocks; }
  /// The volume descriptor sequences and integrity sequence (blocks 32 to 65), the anchor at 256 and the last block.
  Status claimBlocks(ImageLayout& layout) override;
  /// The partition's file structures, from the block after the anchor at 256 at the earliest.
  Status countBlocks(ImageLayout& layout) override;
  void writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) override;
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

 private:
  static constexpr std::uint32_t kRecognitionBlocks = 3;
  static constexpr std::uint32_t kEccBlockBlocks = 16;

  UdfWriter udf_;
  std::function<void(std::uint32_t)> counted_;
  std::size_t closingAnchor_ = 0;  ///< the end claim of the last block
};

}  // namespace emberline::image::udf
