// The folder check on dvdauthor's folders, on damaged copies and on made-up ones.

#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "dvd_test_support.h"
#include "video/dvd_folder.h"

namespace dvd_test {
namespace {

using emberline::video::checkDvdFolder;
using emberline::video::DvdFolder;

std::vector<std::string> names(const DvdFolder& folder) {
  std::vector<std::string> out;
  for (const auto& file : folder.files) out.push_back(file.name);
  return out;
}

class DvdFolderFixtures : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
  }
};

TEST_F(DvdFolderFixtures, ListsFilesInDiscOrderWithTheirSectors) {
  auto two = checkDvdFolder((fixtures() / "two-titlesets").string());
  ASSERT_TRUE(two.ok()) << two.error().message;
  EXPECT_EQ(names(*two),
            (std::vector<std::string>{"VIDEO_TS.IFO", "VIDEO_TS.VOB", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_0.VOB",
                                      "VTS_01_1.VOB", "VTS_01_0.BUP", "VTS_02_0.IFO", "VTS_02_1.VOB", "VTS_02_0.BUP"}));
  EXPECT_EQ(two->files.front().sector, 0u);
  std::uint64_t bytes = 0;
  for (std::size_t i = 0; i < two->files.size(); ++i) {
    bytes += two->files[i].bytes;
    EXPECT_EQ(two->files[i].bytes, fs::file_size(two->files[i].source));
    if (i > 0) {
      EXPECT_GE(two->files[i].sector, two->files[i - 1].sector + two->files[i - 1].bytes / 2048);
    }
  }
  EXPECT_EQ(two->bytes, bytes);
  EXPECT_GE(std::uint64_t{two->sectors} * 2048, bytes);
  EXPECT_TRUE(two->leftOut.empty());
}

TEST_F(DvdFolderFixtures, TakesTheVideoTsFolderOrItsParent) {
  auto parent = checkDvdFolder((fixtures() / "one-title").string());
  auto itself = checkDvdFolder((fixtures() / "one-title" / "VIDEO_TS").string() + "/");
  ASSERT_TRUE(parent.ok()) << parent.error().message;
  ASSERT_TRUE(itself.ok()) << itself.error().message;
  EXPECT_EQ(names(*parent), names(*itself));
  EXPECT_EQ(parent->sectors, itself->sectors);
}

TEST_F(DvdFolderFixtures, AcceptsLowerCaseNamesAndLeavesOtherFilesOut) {
  TempFolder temp;
  const fs::path folder = temp.path() / "video_ts";
  fs::create_directories(folder);
  for (const auto& entry : fs::directory_iterator(fixtures() / "one-title" / "VIDEO_TS")) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fs::copy_file(entry.path(), folder / name);
  }
  writeBytes(folder / "desktop.ini", {1, 2, 3});
  auto checked = checkDvdFolder(temp.path().string());
  ASSERT_TRUE(checked.ok()) << checked.error().message;
  EXPECT_EQ(names(*checked).front(), "VIDEO_TS.IFO");
  EXPECT_EQ(fs::path(checked->files.front().source).filename(), "video_ts.ifo");
  EXPECT_EQ(checked->leftOut, std::vector<std::string>{"desktop.ini"});

  // Two spellings of one name cannot both go on the disc.
  fs::copy_file(folder / "vts_01_0.bup", folder / "VTS_01_0.BUP");
  auto twice = checkDvdFolder(folder.string());
  ASSERT_FALSE(twice.ok());
  EXPECT_NE(twice.error().message.find("the same name on the disc"), std::string::npos) << twice.error().message;
}

TEST_F(DvdFolderFixtures, RefusesBrokenFoldersNamingWhatIsWrong) {
  const std::map<std::string, std::string> expected = {
      {"missing-bup", "title set 1 is incomplete: VTS_01_0.BUP, the backup of VTS_01_0.IFO, is missing"},
      {"vob-gap", "title set 1 is incomplete: VTS_01_1.VOB is missing, though VTS_01_2.VOB is present"},
      {"truncated-ifo", "VTS_01_0.IFO is not a usable DVD-Video information file"},
      {"not-a-folder", "is not a folder"},
      {"empty", "is empty: it holds no VIDEO_TS folder"},
      {"does-not-exist", "does not exist"},
  };
  for (const auto& [name, text] : expected) {
    auto result = checkDvdFolder((fixtures() / name).string());
    ASSERT_FALSE(result.ok()) << name;
    EXPECT_NE(result.error().message.find(text), std::string::npos) << name << ": " << result.error().message;
  }
  auto parentOfFixtures = checkDvdFolder(fixtures().string());
  ASSERT_FALSE(parentOfFixtures.ok());
  EXPECT_NE(parentOfFixtures.error().message.find("not a DVD-Video folder"), std::string::npos);
}

TEST_F(DvdFolderFixtures, LeavesTheSourceUntouched) {
  const fs::path folder = fixtures() / "two-titlesets" / "VIDEO_TS";
  std::map<std::string, std::pair<std::vector<std::uint8_t>, fs::file_time_type>> before;
  for (const auto& entry : fs::directory_iterator(folder))
    before[entry.path().string()] = {readBytes(entry.path()), fs::last_write_time(entry.path())};
  ASSERT_TRUE(checkDvdFolder(folder.string()).ok());
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    ++count;
    EXPECT_EQ(before[entry.path().string()].first, readBytes(entry.path()));
    EXPECT_EQ(before[entry.path().string()].second, fs::last_write_time(entry.path()));
  }
  EXPECT_EQ(count, before.size());
}

// Folders made up here, for the faults dvdauthor never makes.
class DvdFolderMadeUp : public ::testing::Test {
 protected:
  void SetUp() override {
    // Manager: IFO 0-1, BUP 30-31; title set at 32: IFO 0-1, titles from 2, BUP 98-99.
    writeBytes(videoTs() / "VIDEO_TS.IFO", managerIfo(1, 31, 0, {32}));
    writeBytes(videoTs() / "VIDEO_TS.BUP", managerIfo(1, 31, 0, {32}));
    writeBytes(videoTs() / "VTS_01_0.IFO", titleSetIfo(1, 99, 0, 2));
    writeBytes(videoTs() / "VTS_01_0.BUP", titleSetIfo(1, 99, 0, 2));
    writeBytes(videoTs() / "VTS_01_1.VOB", std::vector<std::uint8_t>(40 * 2048, 0));
    writeBytes(videoTs() / "VTS_01_2.VOB", std::vector<std::uint8_t>(10 * 2048, 0));
  }
  fs::path videoTs() const { return temp.path() / "VIDEO_TS"; }
  std::string refusal() {
    auto result = checkDvdFolder(videoTs().string());
    return result.ok() ? "accepted" : result.error().message;
  }
  TempFolder temp;
};

TEST_F(DvdFolderMadeUp, PlacesTitleVobsOneAfterAnother) {
  auto checked = checkDvdFolder(videoTs().string());
  ASSERT_TRUE(checked.ok()) << checked.error().message;
  std::map<std::string, std::uint32_t> sectors;
  for (const auto& file : checked->files) sectors[file.name] = file.sector;
  EXPECT_EQ(sectors["VIDEO_TS.BUP"], 30u);
  EXPECT_EQ(sectors["VTS_01_0.IFO"], 32u);
  EXPECT_EQ(sectors["VTS_01_1.VOB"], 34u);
  EXPECT_EQ(sectors["VTS_01_2.VOB"], 74u);
  EXPECT_EQ(sectors["VTS_01_0.BUP"], 130u);
  EXPECT_EQ(checked->sectors, 132u);

  // An empty menu file with no menu declared is kept, taking no room.
  writeBytes(videoTs() / "VIDEO_TS.VOB", {});
  checked = checkDvdFolder(videoTs().string());
  ASSERT_TRUE(checked.ok()) << checked.error().message;
  EXPECT_EQ(checked->files[1].name, "VIDEO_TS.VOB");
  EXPECT_EQ(checked->files[1].bytes, 0u);
  EXPECT_EQ(checked->files[2].sector, 30u);
}

TEST_F(DvdFolderMadeUp, RefusesSizesTheInformationFilesDoNotAllow) {
  writeBytes(videoTs() / "VTS_01_3.VOB", std::vector<std::uint8_t>(50 * 2048, 0));
  EXPECT_NE(refusal().find("VTS_01_3.VOB is 50 sectors long, but VTS_01_0.IFO leaves room for 46"), std::string::npos)
      << refusal();
  fs::remove(videoTs() / "VTS_01_3.VOB");

  writeBytes(videoTs() / "VTS_01_2.VOB", std::vector<std::uint8_t>(10 * 2048 + 5, 0));
  EXPECT_NE(refusal().find("not a whole number of sectors"), std::string::npos) << refusal();
  writeBytes(videoTs() / "VTS_01_2.VOB", std::vector<std::uint8_t>(10 * 2048, 0));

  writeBytes(videoTs() / "VIDEO_TS.BUP", managerIfo(2, 31, 0, {32}));
  EXPECT_NE(refusal().find("the backup must be a copy"), std::string::npos) << refusal();
  writeBytes(videoTs() / "VIDEO_TS.BUP", managerIfo(1, 31, 0, {32}));

  writeBytes(videoTs() / "VIDEO_TS.VOB", std::vector<std::uint8_t>(2048, 0));
  EXPECT_NE(refusal().find("VIDEO_TS.VOB holds data, but VIDEO_TS.IFO declares no menu"), std::string::npos)
      << refusal();
  fs::remove(videoTs() / "VIDEO_TS.VOB");

  writeBytes(videoTs() / "VTS_02_0.IFO", titleSetIfo(1, 99, 0, 2));
  EXPECT_NE(refusal().find("VTS_02_0.IFO belongs to title set 2, but VIDEO_TS.IFO declares 1"), std::string::npos)
      << refusal();
  fs::remove(videoTs() / "VTS_02_0.IFO");

  // The manager's set must end before the first title set starts.
  writeBytes(videoTs() / "VIDEO_TS.IFO", managerIfo(1, 40, 0, {32}));
  writeBytes(videoTs() / "VIDEO_TS.BUP", managerIfo(1, 40, 0, {32}));
  EXPECT_NE(refusal().find("inside what comes before it"), std::string::npos) << refusal();
  writeBytes(videoTs() / "VIDEO_TS.IFO", managerIfo(1, 31, 0, {32}));
  writeBytes(videoTs() / "VIDEO_TS.BUP", managerIfo(1, 31, 0, {32}));

  fs::remove(videoTs() / "VIDEO_TS.IFO");
  EXPECT_NE(refusal().find("VIDEO_TS.IFO is missing from"), std::string::npos) << refusal();
}

TEST_F(DvdFolderMadeUp, RefusesAVobOverOneGibibyte) {
  // A sparse file: the check reads only sizes.
  const fs::path big = videoTs() / "VTS_01_1.VOB";
  ASSERT_EQ(::truncate(big.c_str(), (off_t{1} << 30) + 2048), 0);
  EXPECT_NE(refusal().find("VTS_01_1.VOB is 1073743872 bytes long, more than the 1 GiB a VOB file may hold"),
            std::string::npos)
      << refusal();
}

}  // namespace
}  // namespace dvd_test
