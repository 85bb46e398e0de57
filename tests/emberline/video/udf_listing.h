#pragma once
// Lists the files of a UDF volume with the absolute block each one's data
// starts at, read straight from the image: the anchor at 256, the volume
// descriptors, the file set, then the folders' file identifiers. Enough to
// compare the UDF side of a bridge image with what isoinfo lists.

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace dvd_test {

struct UdfFileAt {
  std::uint32_t block = 0;
  std::uint64_t bytes = 0;
  bool folder = false;
};

class UdfListing {
 public:
  /// Path ("VIDEO_TS/VIDEO_TS.IFO", folders too) to where its data lies; empty when the volume cannot be read.
  static std::map<std::string, UdfFileAt> of(const std::string& image) {
    UdfListing reader(image);
    std::map<std::string, UdfFileAt> out;
    if (reader.ok_) reader.walk(reader.rootEntry_, "", out, 0);
    return out;
  }

 private:
  explicit UdfListing(const std::string& image) : in_(image, std::ios::binary) {
    const auto anchor = block(256);
    if (tag(anchor) != 2) return;
    const std::uint32_t vdsBlocks = le32(anchor, 16) / 2048, vds = le32(anchor, 20);
    std::uint32_t fileSet = 0;
    for (std::uint32_t i = 0; i < vdsBlocks; ++i) {
      const auto d = block(vds + i);
      if (tag(d) == 5) partition_ = le32(d, 188);
      if (tag(d) == 6) fileSet = le32(d, 252);
      if (tag(d) == 8) break;
    }
    const auto fsd = block(partition_ + fileSet);
    if (tag(fsd) != 256) return;
    rootEntry_ = le32(fsd, 404);
    ok_ = true;
  }

  std::vector<std::uint8_t> block(std::uint64_t number) {
    std::vector<std::uint8_t> b(2048, 0);
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(number * 2048));
    in_.read(reinterpret_cast<char*>(b.data()), 2048);
    return b;
  }
  static std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
  }
  static std::uint16_t tag(const std::vector<std::uint8_t>& b) { return static_cast<std::uint16_t>(b[0] | b[1] << 8); }

  /// Records the entry at partition block `entry` under `path`, and below it when it is a folder.
  void walk(std::uint32_t entry, const std::string& path, std::map<std::string, UdfFileAt>& out, int depth) {
    const auto fe = block(partition_ + entry);
    if (tag(fe) != 261 || depth > 8) return;
    const bool folder = fe[27] == 4;
    const std::uint64_t bytes = le32(fe, 56) | std::uint64_t{le32(fe, 60)} << 32;
    const std::uint32_t adAt = 176 + le32(fe, 168), adBytes = le32(fe, 172);
    // Short allocation descriptors: the data's first block, then as many blocks as the extents hold.
    std::vector<std::uint8_t> data;
    std::uint32_t first = 0;
    for (std::uint32_t at = adAt; at + 8 <= adAt + adBytes; at += 8) {
      const std::uint32_t length = le32(fe, at) & 0x3FFFFFFF, position = le32(fe, at + 4);
      if (at == adAt) first = partition_ + position;
      for (std::uint32_t b = 0; folder && b * 2048 < length; ++b) {
        const auto piece = block(partition_ + position + b);
        data.insert(data.end(), piece.begin(), piece.begin() + std::min<std::uint32_t>(2048, length - b * 2048));
      }
    }
    if (!path.empty()) out[path] = UdfFileAt{first, bytes, folder};
    for (std::size_t at = 0; folder && at + 38 <= data.size();) {
      const std::uint8_t characteristics = data[at + 18], nameBytes = data[at + 19];
      const std::uint16_t useBytes = static_cast<std::uint16_t>(data[at + 36] | data[at + 37] << 8);
      const std::uint32_t child = le32(data, at + 24);
      const std::size_t nameAt = at + 38 + useBytes;
      std::string name;
      if (nameBytes > 0 && data[nameAt] == 8) name.assign(data.begin() + nameAt + 1, data.begin() + nameAt + nameBytes);
      if ((characteristics & 0x08) == 0)  // not the parent
        walk(child, path.empty() ? name : path + "/" + name, out, depth + 1);
      at += (38 + useBytes + nameBytes + 3) & ~std::size_t{3};
    }
  }

  std::ifstream in_;
  bool ok_ = false;
  std::uint32_t partition_ = 0;
  std::uint32_t rootEntry_ = 0;
};

}  // namespace dvd_test
