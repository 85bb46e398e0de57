// The UDF writer's own structures: every descriptor checks out, large files are cut into
// extents short descriptors can hold, and names outside ASCII reach a real reader intact.

#include <map>

#include "../video/dvd_test_support.h"
#include "image/file_data_writer.h"
#include "image/file_tree.h"
#include "image/udf/udf_tree.h"
#include "udf_image.h"

namespace udf_test {
namespace {

using emberline::image::udf::UdfVolumeText;

std::uint32_t le32(const std::uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t le16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

/// Checks the tag at `p`: checksum, CRC over the length it gives, and the location; returns its identifier.
std::uint16_t checkedTag(const std::uint8_t* p, std::uint32_t location) {
  unsigned sum = 0;
  for (int i = 0; i < 16; ++i)
    if (i != 4) sum += p[i];
  EXPECT_EQ(p[4], sum & 0xFF);
  EXPECT_EQ(le16(p + 8), emberline::image::udf::crcItu({p + 16, le16(p + 10)}));
  EXPECT_EQ(le32(p + 12), location);
  return le16(p);
}

struct Metadata {
  std::vector<std::uint8_t> blocks;
  std::uint32_t partitionStart = 0;
};

/// The partition's directory structure for `root`, whose extents are given.
Metadata metadataFor(const UdfEntry& root, const std::vector<emberline::image::Extent>& extents) {
  UdfWriter writer(root, UdfVolumeText{"VOL", "", ""});
  ImageLayout layout;
  layout.created = 1765290000;
  layout.nextBlock = 257;
  EXPECT_TRUE(writer.countBlocks(layout).ok());
  layout.extents = extents;
  ImageContents contents;
  EXPECT_TRUE(writer.writeData(layout, contents).ok());
  EXPECT_EQ(contents.segments().size(), 1u);
  return {contents.bytesOf(contents.segments().front()), writer.partitionStart()};
}

TEST(UdfWriter, CutsLargeFilesIntoShortExtentsAndChecksEveryTag) {
  UdfEntry root;
  root.children.push_back(UdfEntry{"BIG.VOB", false, 0, 0, {}});
  root.children.push_back(UdfEntry{"EMPTY", false, 1, 0, {}});
  const std::uint64_t big = 0x3FFFF800ull * 2 + 5000;
  const Metadata m = metadataFor(root, {{.bytes = big, .lba = 1000}, {.bytes = 0, .lba = 300}});
  ASSERT_EQ(m.partitionStart, 257u);
  ASSERT_EQ(m.blocks.size(), 6u * 2048);  // file set, terminator, root entry, root identifiers, two file entries

  const std::uint8_t* b = m.blocks.data();
  EXPECT_EQ(checkedTag(b, 0), 256);
  EXPECT_EQ(checkedTag(b + 2048, 1), 8);
  EXPECT_EQ(le32(b + 400 + 4), 2u);  // root entry block
  EXPECT_EQ(checkedTag(b + 2 * 2048, 2), 261);
  // The root's identifiers: parent, BIG.VOB, EMPTY.
  const std::uint8_t* fid = b + 3 * 2048;
  std::vector<std::string> names;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(checkedTag(fid, 3), 257);
    names.emplace_back(reinterpret_cast<const char*>(fid + 38 + (fid[19] ? 1 : 0)), fid[19] ? fid[19] - 1 : 0);
    fid += (38 + fid[19] + 3) & ~3;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"", "BIG.VOB", "EMPTY"}));

  const std::uint8_t* entry = b + 4 * 2048;
  EXPECT_EQ(checkedTag(entry, 4), 261);
  EXPECT_EQ(entry[27], 5);
  EXPECT_EQ(le32(entry + 56), static_cast<std::uint32_t>(big));
  EXPECT_EQ(le32(entry + 60), static_cast<std::uint32_t>(big >> 32));
  ASSERT_EQ(le32(entry + 172), 24u);  // three short descriptors
  EXPECT_EQ(le32(entry + 176), 0x3FFFF800u);
  EXPECT_EQ(le32(entry + 180), 1000u - 257);
  EXPECT_EQ(le32(entry + 184), 0x3FFFF800u);
  EXPECT_EQ(le32(entry + 188), 1000u - 257 + 0x7FFFF);
  EXPECT_EQ(le32(entry + 192), 5000u);
  EXPECT_EQ(le32(entry + 196), 1000u - 257 + 2 * 0x7FFFF);
  EXPECT_EQ(le32(entry + 64), 2 * 0x7FFFFu + 3);  // blocks recorded

  const std::uint8_t* empty = b + 5 * 2048;
  EXPECT_EQ(checkedTag(empty, 5), 261);
  EXPECT_EQ(le32(empty + 56), 0u);
  EXPECT_EQ(le32(empty + 172), 0u);
}

TEST(UdfWriter, RefusesDataBeforeItsPartitionAndOverlongNames) {
  UdfEntry root;
  root.children.push_back(UdfEntry{"EARLY", false, 0, 0, {}});
  UdfWriter writer(root, UdfVolumeText{"VOL", "", ""});
  ImageLayout layout;
  layout.nextBlock = 257;
  ASSERT_TRUE(writer.countBlocks(layout).ok());
  layout.extents = {{.bytes = 2048, .lba = 100}};
  ImageContents contents;
  EXPECT_FALSE(writer.writeData(layout, contents).ok());

  // A name too long to record is refused rather than cut, which could make two names alike.
  root.children.front().name = std::string(256, 'n');
  UdfWriter longName(root, UdfVolumeText{"VOL", "", ""});
  ImageLayout other;
  EXPECT_FALSE(longName.countBlocks(other).ok());
  root.children.front().name = std::string(254, 'n');
  UdfWriter longest(root, UdfVolumeText{"VOL", "", ""});
  EXPECT_TRUE(longest.countBlocks(other).ok());
}

TEST(UdfWriter, NestedFoldersAndWideNamesExtract) {
  if (!dvd_test::haveTool("7z")) GTEST_SKIP() << "7z missing";
  dvd_test::TempFolder temp;
  const std::string wide = "\xe2\x82\xac uro \xe6\x97\xa5\xe6\x9c\xac.txt";
  const std::string latin = "caf\xc3\xa9.txt";
  std::vector<DataFile> files;
  std::vector<std::string> contents = {std::string(5000, 'a'), "latin\n", std::string(70000, 'w')};
  for (std::size_t i = 0; i < contents.size(); ++i) {
    const fs::path source = temp.path() / ("source" + std::to_string(i));
    std::ofstream(source, std::ios::binary) << contents[i];
    files.push_back(DataFile{source.string(), contents[i].size(), 0});
  }
  UdfEntry root;
  UdfEntry deep{"a", true, 0, 0, {UdfEntry{"b", true, 0, 0, {UdfEntry{"deep.bin", false, 0, 0, {}}}}}};
  root.children = {deep, UdfEntry{latin, false, 1, 0, {}}, UdfEntry{wide, false, 2, 0, {}},
                   UdfEntry{"nothing", true, 0, 0, {}}};
  UdfWriter writer(root, UdfVolumeText{"WIDE", "", ""});
  const fs::path image = temp.path() / "wide.udf";
  writeUdfImage(writer, files, 1765290000, image);
  const fs::path out = temp.path() / "out";
  dvd_test::run("7z x -tudf -o'" + out.string() + "' '" + image.string() + "'");
  EXPECT_EQ(dvd_test::readBytes(out / "a" / "b" / "deep.bin").size(), 5000u);
  EXPECT_EQ(dvd_test::readBytes(out / latin), std::vector<std::uint8_t>(contents[1].begin(), contents[1].end()));
  EXPECT_EQ(dvd_test::readBytes(out / wide), std::vector<std::uint8_t>(contents[2].begin(), contents[2].end()));
  EXPECT_TRUE(fs::is_directory(out / "nothing"));
}

TEST(UdfTree, SharesEachFilesExtentWithTheIsoHierarchy) {
  dvd_test::TempFolder temp;
  dvd_test::writeBytes(temp.path() / "src" / "VIDEO_TS" / "VIDEO_TS.IFO", std::vector<std::uint8_t>(2048, 1));
  dvd_test::writeBytes(temp.path() / "src" / "VIDEO_TS" / "VTS_01_1.VOB", std::vector<std::uint8_t>(4096, 2));
  fs::create_directories(temp.path() / "src" / "AUDIO_TS");
  emberline::image::FileTree tree(nullptr);
  ASSERT_TRUE(tree.addFolder("/", (temp.path() / "src" / "VIDEO_TS").string()).ok());
  ASSERT_TRUE(tree.addFolder("/", (temp.path() / "src" / "AUDIO_TS").string()).ok());
  ImageLayout layout;
  emberline::image::FileDataWriter data(layout);
  auto iso = emberline::image::buildHierarchy(tree.root(), {}, data, {});
  ASSERT_TRUE(iso.ok());
  const UdfEntry root = emberline::image::udf::udfTreeOf(tree.root(), data);

  std::map<std::string, std::size_t> isoExtents, udfExtents;
  emberline::image::FolderEntries named;
  for (std::size_t dir = 0; dir < iso->directories.size(); ++dir) {
    ASSERT_TRUE(named.fill(*iso, dir).ok());
    for (const auto& entry : named.entries())
      if (!entry.directory)
        isoExtents[std::string(entry.identifier.substr(0, entry.identifier.find(';')))] = entry.target;
  }
  for (const UdfEntry& folder : root.children)
    for (const UdfEntry& file : folder.children) udfExtents[file.name] = file.extent;
  EXPECT_EQ(udfExtents.size(), 2u);
  EXPECT_EQ(isoExtents, udfExtents);
  EXPECT_EQ(layout.extents.size(), 2u);  // each file's data once
}

}  // namespace
}  // namespace udf_test
