// UDF images read back by udfinfo, 7z and the DVD-Video readers.

#include "udf_image.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "../video/dvd_test_support.h"
#include "video/dvd_layout.h"

namespace udf_test {
namespace {

using dvd_test::haveTool;
using dvd_test::readBytes;
using dvd_test::run;
using dvd_test::TempFolder;
using dvd_test::titles;
using emberline::image::udf::UdfVolumeText;

constexpr std::time_t kCreated = 1765290000;  // 2025-12-09

/// A DVD-Video image: VIDEO_TS and an empty AUDIO_TS, files where the information files place them.
fs::path dvdImage(const fs::path& source, const fs::path& where) {
  auto folder = emberline::video::checkDvdFolder(source.string());
  EXPECT_TRUE(folder.ok()) << folder.error().message;
  if (!folder.ok()) return {};
  UdfEntry root;
  UdfEntry audio{"AUDIO_TS", true, 0, kCreated, {}};
  UdfEntry video{"VIDEO_TS", true, 0, kCreated, {}};
  std::vector<DataFile> files;
  for (const auto& file : folder->files) {
    video.children.push_back(UdfEntry{file.name, false, files.size(), kCreated, {}});
    files.push_back(DataFile{file.source, file.bytes, 0});
  }
  root.children = {audio, video};
  UdfWriter writer(root, UdfVolumeText{"HOLIDAY", "Emberline", "Ondrelle tests"});
  // The partition's own blocks come first, then VIDEO_TS.IFO at the first sector the plan allows.
  ImageLayout probe;
  probe.nextBlock = emberline::image::udf::kAnchorBlock + 1;
  EXPECT_TRUE(writer.countBlocks(probe).ok());
  auto plan = emberline::video::planDvdLayout(*folder, probe.nextBlock);
  EXPECT_TRUE(plan.ok());
  for (std::size_t i = 0; i < files.size(); ++i) files[i].block = plan->files[i].sector;
  const fs::path image = where / "dvd.iso";
  writeUdfImage(writer, files, kCreated, image);
  return image;
}

TEST(UdfFields, CrcAndTagChecksum) {
  const std::string text = "123456789";
  EXPECT_EQ(emberline::image::udf::crcItu({reinterpret_cast<const std::uint8_t*>(text.data()), text.size()}), 0x31C3);
  std::vector<std::uint8_t> descriptor(64, 0xA5);
  emberline::image::udf::finishTag(descriptor, emberline::image::udf::Tag::FileSet, 0x01020304);
  unsigned sum = 0;
  for (int i = 0; i < 16; ++i)
    if (i != 4) sum += descriptor[i];
  EXPECT_EQ(descriptor[4], sum & 0xFF);
  EXPECT_EQ(descriptor[0] | descriptor[1] << 8, 256);
  EXPECT_EQ(descriptor[10] | descriptor[11] << 8, 48);
  EXPECT_EQ(descriptor[12], 0x04);
  EXPECT_EQ(descriptor[15], 0x01);
}

TEST(UdfFields, DStringsAndNames) {
  std::vector<std::uint8_t> field(8, 0xFF);
  emberline::image::udf::putDString(field, "ABCDEFGHIJ");  // cut to what fits: ID, 6 characters, length
  EXPECT_EQ(field, (std::vector<std::uint8_t>{8, 'A', 'B', 'C', 'D', 'E', 'F', 7}));
  emberline::image::udf::putDString(field, "");
  EXPECT_EQ(field, std::vector<std::uint8_t>(8, 0));
  // Latin-1 stays 8-bit; anything wider takes the 16-bit form.
  EXPECT_EQ(emberline::image::udf::compressedName("\xc3\xa9t\xc3\xa9", 255),
            (std::vector<std::uint8_t>{8, 0xE9, 't', 0xE9}));
  EXPECT_EQ(emberline::image::udf::compressedName("\xe2\x82\xac"
                                                  "1",
                                                  255),
            (std::vector<std::uint8_t>{16, 0x20, 0xAC, 0, '1'}));
  EXPECT_EQ(emberline::image::udf::compressedName(std::string(300, 'x'), 255).size(), 255u);
}

class UdfDvdImage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!dvd_test::haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
    image = dvdImage(dvd_test::fixtures() / "two-titlesets", temp.path());
    ASSERT_FALSE(image.empty());
  }
  TempFolder temp;
  fs::path image;
};

TEST_F(UdfDvdImage, UdfinfoReadsTheVolume) {
  if (!haveTool("udfinfo")) GTEST_SKIP() << "udfinfo missing";
  const std::string info = run("udfinfo '" + image.string() + "' 2>&1; echo exit=$?");
  EXPECT_NE(info.find("exit=0"), std::string::npos) << info;
  EXPECT_EQ(info.find("arning"), std::string::npos) << info;
  EXPECT_EQ(info.find("rror"), std::string::npos) << info;
  EXPECT_NE(info.find("label=HOLIDAY"), std::string::npos) << info;
  EXPECT_NE(info.find("udfrev=1.02"), std::string::npos) << info;
  EXPECT_NE(info.find("blocksize=2048"), std::string::npos) << info;
  EXPECT_NE(info.find("numfiles=10"), std::string::npos) << info;
  EXPECT_NE(info.find("numdirs=3"), std::string::npos) << info;
  EXPECT_NE(info.find("integrity=closed"), std::string::npos) << info;
  EXPECT_NE(info.find("accesstype=readonly"), std::string::npos) << info;
  EXPECT_NE(info.find("owner=Emberline"), std::string::npos) << info;
  EXPECT_NE(info.find("start=256, blocks=1, type=ANCHOR"), std::string::npos) << info;
  EXPECT_NE(info.find("start=257, blocks="), std::string::npos) << info;
}

TEST_F(UdfDvdImage, SevenZipExtractsEveryFileByteForByte) {
  if (!haveTool("7z")) GTEST_SKIP() << "7z missing";
  const fs::path out = temp.path() / "out";
  run("7z x -tudf -o'" + out.string() + "' '" + image.string() + "'");
  ASSERT_TRUE(fs::is_directory(out / "AUDIO_TS"));
  EXPECT_TRUE(fs::is_empty(out / "AUDIO_TS"));
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(dvd_test::fixtures() / "two-titlesets" / "VIDEO_TS")) {
    ++count;
    EXPECT_EQ(readBytes(entry.path()), readBytes(out / "VIDEO_TS" / entry.path().filename())) << entry.path();
  }
  EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(out / "VIDEO_TS"), {})), count);
}

TEST_F(UdfDvdImage, DvdReadersSeeTheSameDiscAsInTheFolder) {
  if (!haveTool("lsdvd") || !haveTool("dvdbackup")) GTEST_SKIP() << "lsdvd or dvdbackup missing";
  // The disc title comes from the ISO 9660 side, which this image does not have; the rest must match.
  const std::string fromFolder = titles(run("lsdvd -x '" + (dvd_test::fixtures() / "two-titlesets").string() + "'"));
  const std::string fromImage = titles(run("lsdvd -x '" + image.string() + "'"));
  EXPECT_FALSE(fromFolder.empty());
  EXPECT_EQ(fromFolder, fromImage);

  const fs::path out = temp.path() / "backup";
  run("dvdbackup -M -n COPY -i '" + image.string() + "' -o '" + out.string() + "'");
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(dvd_test::fixtures() / "two-titlesets" / "VIDEO_TS")) {
    ++count;
    EXPECT_EQ(readBytes(entry.path()), readBytes(out / "COPY" / "VIDEO_TS" / entry.path().filename())) << entry.path();
  }
  EXPECT_EQ(count, 10u);
}

}  // namespace
}  // namespace udf_test
