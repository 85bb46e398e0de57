// Reading the information files, from made-up ones, dvdauthor's, and damaged copies.

#include <random>

#include "dvd_test_support.h"
#include "video/dvd_ifo.h"

namespace dvd_test {
namespace {

using emberline::video::readManagerInfo;
using emberline::video::readTitleSetInfo;

TEST(DvdIfo, ReadsTheLayoutFields) {
  const auto vmg = managerIfo(2, 40, 3, {41, 300, 41});
  // Three titles, the third in the first set again: two sets declared.
  auto bytes = vmg;
  put16(bytes, 0x3E, 2);
  bytes[2048 + 8 + 24 + 6] = 1;
  auto manager = readManagerInfo(bytes, "VIDEO_TS.IFO");
  ASSERT_TRUE(manager.ok()) << manager.error().message;
  EXPECT_EQ(manager->layout.ifoLastSector, 2u);
  EXPECT_EQ(manager->layout.menuVobStart, 3u);
  EXPECT_EQ(manager->layout.bupStart(), 38u);
  EXPECT_EQ(manager->titleSetStarts, (std::vector<std::uint32_t>{41, 300}));

  auto vts = readTitleSetInfo(titleSetIfo(5, 257, 6, 20), "VTS_01_0.IFO");
  ASSERT_TRUE(vts.ok()) << vts.error().message;
  EXPECT_EQ(vts->menuVobStart, 6u);
  EXPECT_EQ(vts->titleVobStart, 20u);
  EXPECT_EQ(vts->bupStart(), 252u);
}

TEST(DvdIfo, ReadsDvdauthorFiles) {
  if (!haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
  const fs::path folder = fixtures() / "two-titlesets" / "VIDEO_TS";
  auto manager = readManagerInfo(readBytes(folder / "VIDEO_TS.IFO"), "VIDEO_TS.IFO");
  ASSERT_TRUE(manager.ok()) << manager.error().message;
  EXPECT_EQ(manager->titleSetStarts.size(), 2u);
  EXPECT_NE(manager->layout.menuVobStart, 0u);
  for (const char* name : {"VTS_01_0.IFO", "VTS_02_0.IFO"}) {
    auto vts = readTitleSetInfo(readBytes(folder / name), name);
    ASSERT_TRUE(vts.ok()) << vts.error().message;
  }
  // Three chapters, one cell each, in the title VOBs that start at sector 6 (dvdauthor's layout).
  auto cells = readTitleSetInfo(readBytes(fixtures() / "one-title" / "VIDEO_TS" / "VTS_01_0.IFO"), "VTS_01_0.IFO");
  ASSERT_TRUE(cells.ok()) << cells.error().message;
  EXPECT_EQ(cells->titleCellStarts, (std::vector<std::uint32_t>{6, 87, 135}));

  // A title set's file is not the manager's, and the other way round.
  EXPECT_FALSE(readManagerInfo(readBytes(folder / "VTS_01_0.IFO"), "VTS_01_0.IFO").ok());
  EXPECT_FALSE(readTitleSetInfo(readBytes(folder / "VIDEO_TS.IFO"), "VIDEO_TS.IFO").ok());
}

struct Lie {
  const char* what;
  std::vector<std::uint8_t> bytes;
  const char* expected;  // part of the refusal text
};

TEST(DvdIfo, RefusesManagersThatContradictThemselves) {
  std::vector<Lie> lies;
  auto base = [] { return managerIfo(2, 40, 0, {41}); };
  lies.push_back({"short", std::vector<std::uint8_t>(100, 0), "shorter than one sector"});
  auto size = base();
  size.resize(2048 * 2);
  lies.push_back({"fewer sectors than declared", size, "declares 3 sectors"});
  auto id = base();
  id[3] = 'X';
  lies.push_back({"identifier", id, "DVDVIDEO-VMG"});
  lies.push_back({"no room for the backup", managerIfo(2, 4, 0, {41}), "no room for the backup"});
  lies.push_back({"menu inside the IFO", managerIfo(2, 40, 1, {41}), "menu VOB start"});
  lies.push_back({"menu inside the backup", managerIfo(2, 40, 39, {41}), "menu VOB start"});
  lies.push_back({"title set inside the manager", managerIfo(2, 40, 0, {30}), "inside what comes before it"});
  lies.push_back({"title sets out of order", managerIfo(2, 40, 0, {500, 41}), "inside what comes before it"});
  auto table = base();
  put32(table, 0xC4, 7);
  lies.push_back({"table past the end", table, "title table sector"});
  auto sets = base();
  put16(sets, 0x3E, 0);
  lies.push_back({"no title sets", sets, "0 title sets"});
  auto missing = base();
  put16(missing, 0x3E, 2);
  lies.push_back({"set without title", missing, "no title gives the start of title set 2"});
  auto wrongSet = base();
  wrongSet[2048 + 8 + 6] = 5;
  lies.push_back({"title names a set not declared", wrongSet, "names title set 5 of 1"});
  auto twoStarts = managerIfo(2, 40, 0, {41, 900});
  put16(twoStarts, 0x3E, 1);
  twoStarts[2048 + 8 + 12 + 6] = 1;
  lies.push_back({"one set, two starts", twoStarts, "two start sectors"});
  auto titles = base();
  put16(titles, 2048, 200);
  lies.push_back({"too many titles", titles, "lists 200 titles"});
  auto end = base();
  put32(end, 2048 + 4, 10);
  lies.push_back({"table end before its entries", end, "shorter than its 1 titles"});

  for (const Lie& lie : lies) {
    auto result = readManagerInfo(lie.bytes, "VIDEO_TS.IFO");
    ASSERT_FALSE(result.ok()) << lie.what;
    EXPECT_NE(result.error().message.find(lie.expected), std::string::npos)
        << lie.what << ": " << result.error().message;
    EXPECT_EQ(result.error().message.rfind("VIDEO_TS.IFO ", 0), 0u) << result.error().message;
  }
}

TEST(DvdIfo, RefusesTitleSetsThatContradictThemselves) {
  std::vector<Lie> lies = {
      {"titles inside the IFO", titleSetIfo(5, 257, 0, 5), "title VOB start 5"},
      {"titles inside the backup", titleSetIfo(5, 257, 0, 252), "title VOB start 252"},
      {"menu after the titles", titleSetIfo(5, 257, 30, 20), "not before its title VOBs"},
      {"last sector before the IFO ends", titleSetIfo(5, 3, 0, 4), "no room for the backup"},
  };
  // A cell table in sector 1 with one cell, from `first` to `last` of the title VOBs (234 sectors).
  auto withCell = [](std::uint32_t first, std::uint32_t last, std::uint32_t end) {
    auto ifo = titleSetIfo(1, 255, 0, 20);
    put32(ifo, 0xE0, 1);
    put32(ifo, 2048 + 4, end);
    put32(ifo, 2048 + 8 + 4, first);
    put32(ifo, 2048 + 8 + 8, last);
    return ifo;
  };
  ASSERT_TRUE(readTitleSetInfo(withCell(0, 233, 19), "VTS_03_0.IFO").ok());
  lies.push_back({"cell past the title VOBs", withCell(10, 234, 19), "a cell from sector 10 to 234"});
  lies.push_back({"cell ending before it starts", withCell(10, 9, 19), "a cell from sector 10 to 9"});
  lies.push_back({"cell table past the file", withCell(0, 1, 5000), "cell address table runs past"});
  auto vobu = titleSetIfo(1, 255, 0, 20);
  putVobuMap(vobu, 0xE4, 1, {0, 100, 234});
  lies.push_back({"VOBU past the title VOBs", vobu, "a VOBU at sector 234 of its title VOBU address map"});
  auto menuCell = titleSetIfo(1, 255, 2, 20);
  putCellTable(menuCell, 0xD8, 1, {{0, 18}});
  lies.push_back({"menu cell past the menu VOB", menuCell, "a cell from sector 0 to 18 of its menu cell address"});
  auto mapPast = titleSetIfo(1, 255, 0, 20);
  putVobuMap(mapPast, 0xE4, 1, {0});
  put32(mapPast, 2048, 4000);
  lies.push_back({"VOBU map past the file", mapPast, "VOBU address map runs past"});
  for (const Lie& lie : lies) {
    auto result = readTitleSetInfo(lie.bytes, "VTS_03_0.IFO");
    ASSERT_FALSE(result.ok()) << lie.what;
    EXPECT_NE(result.error().message.find(lie.expected), std::string::npos)
        << lie.what << ": " << result.error().message;
  }
}

TEST(DvdIfo, NotesHowFarCellsAndVobusReachIntoTheirVobs) {
  // Manager: IFO 0-3, the menu VOB from sector 4 to the backup at 37; its cells and VOBUs listed in sectors 2 and 3.
  auto vmg = managerIfo(1, 40, 2, {41});
  vmg.resize(4 * 2048);
  put32(vmg, 0x1C, 3);
  put32(vmg, 0xC0, 4);
  putCellTable(vmg, 0xD8, 2, {{0, 9}, {10, 24}});
  putVobuMap(vmg, 0xDC, 3, {0, 10, 20, 30});
  auto manager = readManagerInfo(vmg, "VIDEO_TS.IFO");
  ASSERT_TRUE(manager.ok()) << manager.error().message;
  EXPECT_EQ(manager->layout.menuReach.cellEnd, 25u);
  EXPECT_EQ(manager->layout.menuReach.vobuEnd, 31u);

  auto vts = titleSetIfo(3, 300, 4, 20);
  putCellTable(vts, 0xD8, 1, {{0, 15}});
  putVobuMap(vts, 0xDC, 2, {0, 8});
  putCellTable(vts, 0xE0, 3, {{50, 99}, {0, 49}, {100, 150}});
  auto set = readTitleSetInfo(vts, "VTS_01_0.IFO");
  ASSERT_TRUE(set.ok()) << set.error().message;
  EXPECT_EQ(set->menuReach.cellEnd, 16u);
  EXPECT_EQ(set->menuReach.vobuEnd, 9u);
  EXPECT_EQ(set->titleReach.end(), 151u);
  EXPECT_EQ(set->titleCellStarts, (std::vector<std::uint32_t>{20, 70, 120}));

  if (!haveFixtures()) return;
  // dvdauthor's last cell and last VOBU lie in the last sectors of the title VOBs.
  const fs::path folder = fixtures() / "one-title" / "VIDEO_TS";
  auto real = readTitleSetInfo(readBytes(folder / "VTS_01_0.IFO"), "VTS_01_0.IFO");
  ASSERT_TRUE(real.ok()) << real.error().message;
  EXPECT_EQ(std::uint64_t{real->titleReach.cellEnd} * 2048, fs::file_size(folder / "VTS_01_1.VOB"));
  EXPECT_GT(real->titleReach.vobuEnd, 0u);
  EXPECT_LE(real->titleReach.vobuEnd, real->titleReach.cellEnd);
}

// Every cut of a real file and many damaged copies are either read or refused; under the
// address sanitizer this also proves no read goes past the bytes given.
TEST(DvdIfo, SurvivesTruncatedAndRandomisedFiles) {
  std::vector<std::uint8_t> vmg = managerIfo(2, 40, 3, {41, 300});
  std::vector<std::uint8_t> vts = titleSetIfo(5, 257, 6, 20);
  if (haveFixtures()) {
    vmg = readBytes(fixtures() / "two-titlesets" / "VIDEO_TS" / "VIDEO_TS.IFO");
    vts = readBytes(fixtures() / "two-titlesets" / "VIDEO_TS" / "VTS_01_0.IFO");
  }
  for (std::size_t length = 0; length < vmg.size(); length += 7) {
    // Only the exact declared size can be read; each cut is held in a buffer of its own size.
    std::vector<std::uint8_t> cut(vmg.begin(), vmg.begin() + static_cast<long>(length));
    EXPECT_FALSE(readManagerInfo(cut, "VIDEO_TS.IFO").ok()) << length;
  }
  for (std::size_t length = 0; length < vts.size(); length += 7) {
    std::vector<std::uint8_t> cut(vts.begin(), vts.begin() + static_cast<long>(length));
    EXPECT_FALSE(readTitleSetInfo(cut, "VTS_01_0.IFO").ok()) << length;
  }
  std::mt19937 random(1234);
  for (int round = 0; round < 3000; ++round) {
    auto damaged = round % 2 == 0 ? vmg : vts;
    const int changes = 1 + static_cast<int>(random() % 8);
    for (int c = 0; c < changes; ++c) {
      // Hit the fields that matter more often than the rest of the file.
      const std::size_t at = random() % 2 == 0 ? random() % 0x100 : random() % damaged.size();
      damaged[at] = static_cast<std::uint8_t>(random());
    }
    if (random() % 4 == 0) damaged.resize(random() % damaged.size());
    auto manager = readManagerInfo(damaged, "VIDEO_TS.IFO");
    auto titleSet = readTitleSetInfo(damaged, "VTS_01_0.IFO");
    if (manager.ok()) {
      EXPECT_LT(manager->layout.ifoLastSector, manager->layout.bupStart());
      for (std::uint32_t start : manager->titleSetStarts) EXPECT_GE(std::uint64_t{start}, manager->layout.setSectors());
    }
    if (titleSet.ok()) {
      EXPECT_LT(titleSet->titleVobStart, titleSet->bupStart());
    }
  }
}

}  // namespace
}  // namespace dvd_test
