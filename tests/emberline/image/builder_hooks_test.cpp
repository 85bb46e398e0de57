// What the image builder offers the writers that come after ISO 9660:
// descriptors after the set terminator, blocks claimed at fixed places and at
// the end, an order of file data, system-use bytes on directory records and
// records that point outside the image. Every image is read back by a real
// reader.

#include <gtest/gtest.h>

#include <cstring>

#include "emberline/image/image_fixture.h"
#include "image/image_builder.h"
#include "image/xa_attributes.h"

namespace image_test {
namespace {

using namespace emberline;
using namespace emberline::image;

/// Writes a recognition sequence after the terminator and, when asked, marks
/// block 256 and the image's last block.
class SequenceWriter final : public ImageWriter {
 public:
  explicit SequenceWriter(bool claims) : claims_(claims) {}
  std::uint32_t descriptorCount() const override { return 3; }
  Status claimBlocks(ImageLayout& layout) override {
    if (!claims_) return {};
    EMBERLINE_TRY(layout.claimAt(256, 1, "the anchor"));
    last_ = layout.claimAtEnd(1);
    return {};
  }
  Status countBlocks(ImageLayout& /*layout*/) override { return {}; }
  void writeDescriptors(const ImageLayout& /*layout*/, std::vector<Sector>& out) override {
    for (const char* id : {"BEA01", "NSR02", "TEA01"}) {
      Sector s{};
      std::memcpy(s.data() + 1, id, 5);
      s[6] = 1;
      out.push_back(s);
    }
  }
  Status writeData(const ImageLayout& layout, ImageContents& out) override {
    if (!claims_) return {};
    for (std::uint32_t block : {256u, layout.endClaimLba(last_) - layout.startLba}) {
      out.moveTo(block);
      out.addBytes(std::vector<std::uint8_t>{'A', 'N', 'C', 'H', 'O', 'R'});
    }
    return {};
  }

 private:
  bool claims_;
  std::size_t last_ = 0;
};

class BuilderHooks : public ImageTest {
 protected:
  /// Builds `content` with `options` and writes the image to a file.
  fs::path buildTo(const FileTree& content, const BuildOptions& options) {
    auto built = buildImage(content, options);
    EXPECT_TRUE(built.ok()) << built.error().message;
    if (!built.ok()) return {};
    const fs::path iso = dir / "hooks.iso";
    std::ofstream out(iso, std::ios::binary);
    std::vector<std::uint8_t> buffer(1 << 16);
    std::uint64_t left = (*built)->size();
    while (left > 0) {
      const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
      Status read = (*built)->read(std::span(buffer.data(), count));
      EXPECT_TRUE(read.ok()) << read.error().message;
      if (!read.ok()) break;
      out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(count));
      left -= count;
    }
    return iso;
  }

  static std::string blockOf(const fs::path& iso, std::uint64_t block, std::size_t bytes = 8) {
    std::ifstream in(iso, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(block * 2048));
    std::string out(bytes, '\0');
    in.read(out.data(), static_cast<std::streamsize>(bytes));
    return out;
  }

  /// The extent isoinfo lists for a file name in its "-l" output.
  static long extentOf(const std::string& listing, const std::string& name) {
    const auto at = listing.find(" " + name);
    if (at == std::string::npos) return -1;
    const auto open = listing.rfind('[', at);
    return std::stol(listing.substr(open + 1));
  }

  std::string filled(const std::string& name, std::size_t bytes, char c) {
    writeFile(source / name, std::string(bytes, c));
    return (source / name).string();
  }

  FileTree files{nullptr};
};

TEST_F(BuilderHooks, DescriptorsFollowTheSetTerminatorAndBlocksSitWhereClaimed) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  // 300 blocks of data would run across block 256 if the claim were not passed over.
  const std::string big = filled("BIG.DAT", 300 * 2048, 'b');
  ASSERT_TRUE(files.addFile("/", big, "").ok());
  BuildOptions options;
  options.volumeLabel = "HOOKS";
  options.extensions.push_back([](const FileTree&, ExtentRegistry&) -> Result<std::unique_ptr<ImageWriter>> {
    return std::unique_ptr<ImageWriter>(std::make_unique<SequenceWriter>(true));
  });
  const fs::path iso = buildTo(files, options);
  ASSERT_FALSE(iso.empty());

  // Primary, Joliet, terminator, then the three descriptors after it.
  EXPECT_EQ(blockOf(iso, 16, 6), std::string("\x01"
                                             "CD001",
                                             6));
  EXPECT_EQ(blockOf(iso, 17, 6), std::string("\x02"
                                             "CD001",
                                             6));
  EXPECT_EQ(blockOf(iso, 18, 6), std::string("\xFF"
                                             "CD001",
                                             6));
  EXPECT_EQ(blockOf(iso, 19, 6), std::string("\0BEA01", 6));
  EXPECT_EQ(blockOf(iso, 20, 6), std::string("\0NSR02", 6));
  EXPECT_EQ(blockOf(iso, 21, 6), std::string("\0TEA01", 6));
  EXPECT_EQ(blockOf(iso, 256, 6), "ANCHOR");
  const auto blocks = fs::file_size(iso) / 2048;
  EXPECT_EQ(blockOf(iso, blocks - 1, 6), "ANCHOR");

  const std::string info = run("isoinfo -d -i " + quoted(iso));
  EXPECT_NE(info.find("Volume size is: " + std::to_string(blocks)), std::string::npos) << info;
  const std::string listing = run("isoinfo -l -i " + quoted(iso));
  const long extent = extentOf(listing, "BIG.DAT;1");
  EXPECT_GT(extent, 256) << listing;
  EXPECT_EQ(run("isoinfo -i " + quoted(iso) + " -x '/BIG.DAT;1'"), readFile(big));
}

TEST_F(BuilderHooks, FileDataFollowsTheGivenOrderAndPinnedBlocks) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  const std::string ifo = filled("VTS.IFO", 3000, 'i');
  const std::string vob = filled("VTS.VOB", 5000, 'v');
  const std::string bup = filled("VTS.BUP", 3000, 'u');
  for (const auto& f : {bup, vob, ifo}) ASSERT_TRUE(files.addFile("/", f, "").ok());
  BuildOptions options;
  options.joliet = false;
  options.dataOrder = {{"/VTS.IFO", std::nullopt}, {"/VTS.VOB", 300}, {"/VTS.BUP", std::nullopt}};
  const fs::path iso = buildTo(files, options);
  ASSERT_FALSE(iso.empty());
  const std::string listing = run("isoinfo -l -i " + quoted(iso));
  const long ifoAt = extentOf(listing, "VTS.IFO;1");
  const long vobAt = extentOf(listing, "VTS.VOB;1");
  const long bupAt = extentOf(listing, "VTS.BUP;1");
  EXPECT_EQ(vobAt, 300) << listing;
  EXPECT_LT(ifoAt, vobAt) << listing;
  EXPECT_GT(bupAt, vobAt) << "the order goes on after a pinned file\n" << listing;
  EXPECT_EQ(run("isoinfo -i " + quoted(iso) + " -x '/VTS.VOB;1'"), readFile(vob));
  EXPECT_EQ(run("isoinfo -i " + quoted(iso) + " -x '/VTS.BUP;1'"), readFile(bup));
}

TEST_F(BuilderHooks, AnOrderNamingAMissingFileOrTakenBlocksIsRefused) {
  ASSERT_TRUE(files.addFile("/", filled("A.DAT", 10, 'a'), "").ok());
  BuildOptions options;
  options.dataOrder = {{"/B.DAT", std::nullopt}};
  auto missing = buildImage(files, options);
  ASSERT_FALSE(missing.ok());
  EXPECT_NE(missing.error().message.find("/B.DAT"), std::string::npos) << missing.error().message;
  options.dataOrder = {{"/A.DAT", 17}};  // inside the descriptors
  auto taken = buildImage(files, options);
  ASSERT_FALSE(taken.ok());
  EXPECT_EQ(taken.error().kind, ErrorKind::InvalidArgument);
}

TEST_F(BuilderHooks, XaAttributesTravelInTheSystemUseField) {
  if (!haveTool("iso-info")) GTEST_SKIP() << "iso-info missing";
  ASSERT_TRUE(files.addFile("/SEGMENT", filled("ITEM0001.MPG", 4096, 'm'), "").ok());
  BuildOptions options;
  options.joliet = false;
  options.xaVolume = true;
  options.isoSystemUse = [](const TreeNode*, bool directory) {
    const auto bytes =
        xaSystemUse(directory ? xa::kDirectory | xa::kEveryone : xa::kMode2Form1 | xa::kEveryone, directory ? 0 : 1);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  };
  const fs::path iso = buildTo(files, options);
  ASSERT_FALSE(iso.empty());
  const std::string listing = run("iso-info --no-header -l -i " + quoted(iso));
  // iso-info decodes the XA attributes into a mode string and shows the file number.
  EXPECT_NE(listing.find("d----xrxrxr 0 0 [fn 00] [LSN     21]      2048"), std::string::npos) << listing;
  EXPECT_NE(listing.find("----1xrxrxr 0 0 [fn 01] [LSN     22]      4096"), std::string::npos) << listing;
  EXPECT_NE(listing.find("item0001.mpg"), std::string::npos) << listing;
  EXPECT_EQ(run("isoinfo -i " + quoted(iso) + " -x '/SEGMENT/ITEM0001.MPG;1'"), std::string(4096, 'm'));
}

TEST_F(BuilderHooks, ARecordMayPointOutsideTheImage) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  ASSERT_TRUE(files.addOutsideFile("/MPEGAV", "AVSEQ01.DAT", 1000, 50 * 2048, 0).ok());
  BuildOptions options;
  options.joliet = false;
  const fs::path iso = buildTo(files, options);
  ASSERT_FALSE(iso.empty());
  EXPECT_LT(fs::file_size(iso) / 2048, 1000u) << "no data of the outside file is in the image";
  const std::string listing = run("isoinfo -l -i " + quoted(iso));
  EXPECT_EQ(extentOf(listing, "AVSEQ01.DAT;1"), 1000) << listing;
  EXPECT_NE(listing.find("102400"), std::string::npos) << listing;
}

}  // namespace
}  // namespace image_test
