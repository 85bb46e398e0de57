// The Video CD templates: what the build writes, the checks a burn makes on
// them, and the folders they give track 1.

#include "video/vcd_template.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "video_fixtures.h"

namespace emberline::video {
namespace {

class VcdTemplate : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("vcd-template-" + std::to_string(::getpid()) + "-" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path written(VideoDiscKind kind) {
    const auto path = dir_ / templateFileName(kind);
    const auto status = writeVcdTemplate(kind, path);
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().message);
    return path;
  }
  static std::string refusal(VideoDiscKind kind, const std::filesystem::path& path) {
    auto read = readVcdTemplate(kind, path);
    return read ? std::string() : read.error().message;
  }

  std::filesystem::path dir_;
};

TEST_F(VcdTemplate, TheWrittenTemplatesAreIsoImagesWhoseFoldersTrackOneTakes) {
  const auto vcd = written(VideoDiscKind::VideoCd);
  const auto svcd = written(VideoDiscKind::SuperVideoCd);
  auto folders = readVcdTemplate(VideoDiscKind::VideoCd, vcd);
  ASSERT_TRUE(folders) << folders.error().message;
  EXPECT_EQ(*folders, templateFolders(VideoDiscKind::VideoCd));
  folders = readVcdTemplate(VideoDiscKind::SuperVideoCd, svcd);
  ASSERT_TRUE(folders) << folders.error().message;
  EXPECT_EQ(*folders, templateFolders(VideoDiscKind::SuperVideoCd));

  const std::string listing = video_test::runCommand("isoinfo -l -i '" + svcd.string() + "' 2>&1");
  for (const char* folder : {"SVCD", "MPEG2", "SEGMENT", "EXT", "CDI"})
    EXPECT_NE(listing.find(std::string(folder) + " \n"), std::string::npos) << folder << "\n" << listing;
  EXPECT_NE(video_test::runCommand("isoinfo -d -i '" + vcd.string() + "'").find("Volume id: VIDEOCD"),
            std::string::npos);
}

TEST_F(VcdTemplate, AMissingWrongOrDamagedTemplateIsRefusedNamingItsPath) {
  const auto vcd = written(VideoDiscKind::VideoCd);
  const auto svcd = written(VideoDiscKind::SuperVideoCd);

  const auto missing = dir_ / "nothing-here.iso";
  EXPECT_EQ(refusal(VideoDiscKind::VideoCd, missing), "the video template " + missing.string() + " is missing");
  EXPECT_NE(refusal(VideoDiscKind::VideoCd, svcd).find(svcd.string() + " is damaged (it is the template of a Super"),
            std::string::npos);
  EXPECT_NE(refusal(VideoDiscKind::VideoCd, dir_).find("is not a file"), std::string::npos);

  // One byte changed anywhere, even in a folder's date, is noticed.
  auto bytes = video_test::readFile(vcd.string());
  bytes[bytes.size() - 2048 + 20] ^= 0x01;
  video_test::writeFile(vcd.string(), bytes);
  EXPECT_EQ(refusal(VideoDiscKind::VideoCd, vcd),
            "the video template " + vcd.string() + " is damaged (its checksum does not match)");

  bytes.resize(bytes.size() - 100);
  video_test::writeFile(vcd.string(), bytes);
  EXPECT_NE(refusal(VideoDiscKind::VideoCd, vcd).find("is not a template's"), std::string::npos);
  video_test::writeFile(vcd.string(), {});
  EXPECT_NE(refusal(VideoDiscKind::VideoCd, vcd).find("is damaged"), std::string::npos);
}

TEST_F(VcdTemplate, TheRunningProgramLooksBesideItsOwnExecutable) {
  const auto path = templateBesideExecutable(VideoDiscKind::SuperVideoCd);
  ASSERT_TRUE(path) << path.error().message;
  EXPECT_EQ(path->filename(), "Emberline_SuperVideoCD.iso");
  EXPECT_EQ(path->parent_path(), std::filesystem::path(ONDRELLE_TEST_BINARY_DIR));
  // The build put the checked template there.
  EXPECT_TRUE(readVcdTemplate(VideoDiscKind::SuperVideoCd, *path));
}

}  // namespace
}  // namespace emberline::video
