#pragma once
/// @file The volume descriptor set terminator, as one writer of the list: writers after it add descriptors after it.

#include "image/image_writer.h"

namespace emberline::image {

class TerminatorWriter final : public ImageWriter {
 public:
  std::uint32_t descriptorCount() const override { return 1; }
  Status countBlocks(ImageLayout& /*layout*/) override { return {}; }
  void writeDescriptors(const ImageLayout& /*layout*/, std::vector<Sector>& out) override {
    out.push_back(terminatorDescriptor());
  }
  Status writeData(const ImageLayout& /*layout*/, ImageContents& /*out*/) override { return {}; }
};

}  // namespace emberline::image
