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
    // Manager: IFO 0-1, BUP 2-3; title set at 4: IFO 0-1, titles from 2 (50 sectors), BUP 52-53.
    writeManager(managerIfo(1, 3, 0, {4}));
    writeTitleSet(titleSetIfo(1, 53, 0, 2));
    writeBytes(videoTs() / "VTS_01_1.VOB", std::vector<std::uint8_t>(40 * 2048, 0));
    writeBytes(videoTs() / "VTS_01_2.VOB", std::vector<std::uint8_t>(10 * 2048, 0));
  }
  fs::path videoTs() const { return temp.path() / "VIDEO_TS"; }
  void writeManager(const std::vector<std::uint8_t>& ifo) {
    writeBytes(videoTs() / "VIDEO_TS.IFO", ifo);
    writeBytes(videoTs() / "VIDEO_TS.BUP", ifo);
  }
  void writeTitleSet(const std::vector<std::uint8_t>& ifo) {
    writeBytes(videoTs() / "VTS_01_0.IFO", ifo);
    writeBytes(videoTs() / "VTS_01_0.BUP", ifo);
  }
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
  EXPECT_EQ(sectors["VIDEO_TS.BUP"], 2u);
  EXPECT_EQ(sectors["VTS_01_0.IFO"], 4u);
  EXPECT_EQ(sectors["VTS_01_1.VOB"], 6u);
  EXPECT_EQ(sectors["VTS_01_2.VOB"], 46u);
  EXPECT_EQ(sectors["VTS_01_0.BUP"], 56u);
  EXPECT_EQ(checked->sectors, 58u);

  // An empty menu file with no menu declared is kept, taking no room.
  writeBytes(videoTs() / "VIDEO_TS.VOB", {});
  checked = checkDvdFolder(videoTs().string());
  ASSERT_TRUE(checked.ok()) << checked.error().message;
  EXPECT_EQ(checked->files[1].name, "VIDEO_TS.VOB");
  EXPECT_EQ(checked->files[1].bytes, 0u);
  EXPECT_EQ(checked->files[2].sector, 2u);
}

TEST_F(DvdFolderMadeUp, RefusesSizesTheInformationFilesDoNotAllow) {
  writeBytes(videoTs() / "VTS_01_3.VOB", std::vector<std::uint8_t>(50 * 2048, 0));
  EXPECT_NE(refusal().find("VTS_01_3.VOB is 50 sectors long, but VTS_01_0.IFO leaves room for 0"), std::string::npos)
      << refusal();
  fs::remove(videoTs() / "VTS_01_3.VOB");

  writeBytes(videoTs() / "VTS_01_2.VOB", std::vector<std::uint8_t>(10 * 2048 + 5, 0));
  EXPECT_NE(refusal().find("not a whole number of sectors"), std::string::npos) << refusal();
  writeBytes(videoTs() / "VTS_01_2.VOB", std::vector<std::uint8_t>(10 * 2048, 0));

  writeBytes(videoTs() / "VIDEO_TS.BUP", managerIfo(2, 5, 0, {6}));
  EXPECT_NE(refusal().find("the backup must be a copy"), std::string::npos) << refusal();
  writeManager(managerIfo(1, 3, 0, {4}));

  writeBytes(videoTs() / "VIDEO_TS.VOB", std::vector<std::uint8_t>(2048, 0));
  EXPECT_NE(refusal().find("VIDEO_TS.VOB holds data, but VIDEO_TS.IFO declares no menu"), std::string::npos)
      << refusal();
  fs::remove(videoTs() / "VIDEO_TS.VOB");

  writeBytes(videoTs() / "VTS_02_0.IFO", titleSetIfo(1, 53, 0, 2));
  EXPECT_NE(refusal().find("VTS_02_0.IFO belongs to title set 2, but VIDEO_TS.IFO declares 1"), std::string::npos)
      << refusal();
  fs::remove(videoTs() / "VTS_02_0.IFO");

  // The manager's set must end before the first title set starts.
  writeManager(managerIfo(1, 40, 0, {4}));
  EXPECT_NE(refusal().find("inside what comes before it"), std::string::npos) << refusal();
  writeManager(managerIfo(1, 3, 0, {4}));

  fs::remove(videoTs() / "VIDEO_TS.IFO");
  EXPECT_NE(refusal().find("VIDEO_TS.IFO is missing from"), std::string::npos) << refusal();
}

TEST_F(DvdFolderMadeUp, RefusesRoomTheFolderDoesNotHold) {
  // Half a mebibyte of padding between files is an authoring tool's; a sector more is not.
  writeManager(managerIfo(1, 259, 0, {260}));
  EXPECT_EQ(refusal(), "accepted");
  writeManager(managerIfo(1, 260, 0, {261}));
  EXPECT_NE(refusal().find("VIDEO_TS.IFO puts VIDEO_TS.BUP 526,336 bytes past the end of the files before it"),
            std::string::npos)
      << refusal();
  // One byte of the last sector's address: 32 GiB the folder does not hold.
  writeManager(managerIfo(1, 3 + (1u << 24), 0, {4 + (1u << 24)}));
  EXPECT_NE(refusal().find("VIDEO_TS.IFO puts VIDEO_TS.BUP 34,359,738,368 bytes past"), std::string::npos) << refusal();
  writeManager(managerIfo(1, 3, 0, {4 + (1u << 30)}));
  EXPECT_NE(refusal().find("VIDEO_TS.IFO puts VTS_01_0.IFO 2,199,023,255,552 bytes past"), std::string::npos)
      << refusal();
  writeManager(managerIfo(1, 3, 0, {4}));

  writeTitleSet(titleSetIfo(1, 310, 0, 2));
  EXPECT_NE(refusal().find("VTS_01_0.IFO puts VTS_01_0.BUP 526,336 bytes past"), std::string::npos) << refusal();
  writeTitleSet(titleSetIfo(1, 310, 0, 259));
  EXPECT_NE(refusal().find("VTS_01_0.IFO puts VTS_01_1.VOB 526,336 bytes past"), std::string::npos) << refusal();
  writeBytes(videoTs() / "VTS_01_0.VOB", std::vector<std::uint8_t>(2048, 0));
  writeTitleSet(titleSetIfo(1, 312, 260, 261));
  EXPECT_NE(refusal().find("VTS_01_0.IFO puts VTS_01_0.VOB 528,384 bytes past"), std::string::npos) << refusal();
}

TEST_F(DvdFolderMadeUp, CellsAndVobusMustLieInTheVobBytesPresent) {
  auto ifo = titleSetIfo(1, 53, 0, 2);
  ifo.resize(3 * 2048);  // the cell table in sector 1, the VOBU map in sector 2
  putCellTable(ifo, 0xE0, 1, {{0, 19}, {20, 49}});
  put32(ifo, 0x1C, 2);
  put32(ifo, 0x0C, 55);
  put32(ifo, 0xC4, 3);
  putVobuMap(ifo, 0xE4, 2, {0, 20, 40, 45});
  writeTitleSet(ifo);
  writeManager(managerIfo(1, 3, 0, {4}));
  ASSERT_EQ(refusal(), "accepted");

  // Cut short on a sector boundary: the last 10 sectors of the last cell are gone.
  fs::remove(videoTs() / "VTS_01_2.VOB");
  EXPECT_NE(refusal().find("VTS_01_1.VOB is cut short: it ends 20,480 bytes before the last cell that VTS_01_0.IFO "
                           "points to"),
            std::string::npos)
      << refusal();
  // Only the VOBU map reaches past what is there.
  putCellTable(ifo, 0xE0, 1, {{0, 19}, {20, 39}});
  writeTitleSet(ifo);
  EXPECT_NE(refusal().find("VTS_01_1.VOB is cut short: it ends 12,288 bytes before the last VOBU"), std::string::npos)
      << refusal();
  // Empty.
  writeBytes(videoTs() / "VTS_01_1.VOB", {});
  EXPECT_NE(refusal().find("VTS_01_1.VOB is cut short: it ends 94,208 bytes before the last VOBU"), std::string::npos)
      << refusal();
  // Empty, and no table to say so.
  writeTitleSet(titleSetIfo(1, 53, 0, 2));
  EXPECT_NE(refusal().find("VTS_01_1.VOB is empty: title set 1 holds no title video"), std::string::npos) << refusal();
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
