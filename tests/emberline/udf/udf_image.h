#pragma once
// Assembles a UDF-only image from the UDF writer and a list of files at given
// blocks, the way the image builder lays a bridge image out: recognition
// sequence after block 16, descriptor sequences at 32 and 48, integrity at 64,
// anchors at 256 and at the last block, the partition from 257.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/image_stream.h"
#include "image/udf/udf_writer.h"

namespace udf_test {

namespace fs = std::filesystem;
using emberline::image::ImageContents;
using emberline::image::ImageLayout;
using emberline::image::ImageStream;
using emberline::image::Sector;
using emberline::image::udf::UdfEntry;
using emberline::image::udf::UdfWriter;

struct DataFile {
  std::string source;
  std::uint64_t bytes = 0;
  std::uint32_t block = 0;  ///< 0: right after the previous one
};

inline std::vector<std::uint8_t> join(const std::vector<Sector>& sectors) {
  std::vector<std::uint8_t> out;
  for (const Sector& s : sectors) out.insert(out.end(), s.begin(), s.end());
  return out;
}

/// Lays out `files` (extent i is files[i]) after the writer's blocks and streams the image to `path`.
inline void writeUdfImage(UdfWriter& writer, const std::vector<DataFile>& files, std::time_t created,
                          const fs::path& path) {
  using namespace emberline::image::udf;
  ImageLayout layout;
  layout.created = created;
  layout.nextBlock = kAnchorBlock + 1;
  for (const DataFile& file : files) layout.addExtent(file.bytes);
  ASSERT_TRUE(writer.countBlocks(layout).ok());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].block != 0) {
      ASSERT_GE(files[i].block, layout.nextBlock) << files[i].source;
      layout.nextBlock = files[i].block;
    }
    layout.extents[i].lba =
        files[i].bytes == 0 ? layout.nextBlock : layout.reserve(emberline::image::blocksFor(files[i].bytes));
  }
  layout.reserve(1);  // the closing anchor
  layout.totalBlocks = layout.nextBlock;

  ImageContents contents;
  contents.addZeros(16);
  contents.addBytes(join(writer.recognitionSequence()));
  contents.addZeros(kMainVdsBlock - contents.nextBlock());
  contents.addBytes(join(writer.volumeDescriptors(layout, kMainVdsBlock)));
  contents.addBytes(join(writer.volumeDescriptors(layout, kReserveVdsBlock)));
  contents.addBytes(join(writer.integrityDescriptors(layout)));
  contents.addZeros(kAnchorBlock - contents.nextBlock());
  contents.addBytes(join({writer.anchor(layout, kAnchorBlock)}));
  ASSERT_TRUE(writer.writeData(layout, contents).ok());
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (files[i].bytes == 0) continue;
    contents.addZeros(layout.extents[i].lba - contents.nextBlock());
    contents.addFile(files[i].source, files[i].bytes);
  }
  contents.addZeros(layout.totalBlocks - 1 - contents.nextBlock());
  contents.addBytes(join({writer.anchor(layout, layout.totalBlocks - 1)}));
  ASSERT_EQ(contents.nextBlock(), layout.totalBlocks);

  ImageStream stream(std::move(contents));
  std::ofstream out(path, std::ios::binary);
  std::vector<std::uint8_t> buffer(1 << 20);
  for (std::uint64_t left = stream.size(); left > 0;) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
    ASSERT_TRUE(stream.read(std::span(buffer).first(count)).ok());
    out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(count));
    left -= count;
  }
}

}  // namespace udf_test
