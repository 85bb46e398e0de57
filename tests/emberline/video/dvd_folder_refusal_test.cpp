// Folders whose information files promise more than the folder holds, refused
// by Emberline_DVDVideo_Create before anything is laid out, with the folder
// untouched; files that are no part of the structure named to the caller; and
// a double-layer burn whose break must find a cell start on an ECC block.

#include <algorithm>
#include <sstream>

#include "api/file_tree_object.h"
#include "dvd_test_support.h"
#include "emberline/dvd_video.h"
#include "emberline/file_tree.h"
#include "emberline/write/recording_fixture.h"

namespace emberline::test {
namespace {

namespace fs = std::filesystem;
using dvd_test::fixtures;
using dvd_test::haveFixtures;
using dvd_test::managerIfo;
using dvd_test::put32;
using dvd_test::putCellTable;
using dvd_test::readBytes;
using dvd_test::snapshot;
using dvd_test::titleSetIfo;
using dvd_test::writeBytes;

std::uint32_t be32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
         bytes[at + 3];
}

/// Adds `delta` to the sector number at `at` of an information file and of its backup alike, as a
/// damaged copy would have it: for a delta of 1 << 24 one byte changes.
void damageBoth(const fs::path& ifo, std::size_t at, std::uint32_t delta) {
  for (fs::path file : {ifo, fs::path(ifo).replace_extension(".BUP")}) {
    auto bytes = readBytes(file);
    ASSERT_LE(at + 4, bytes.size()) << file;
    put32(bytes, at, be32(bytes, at) + delta);
    writeBytes(file, bytes);
  }
}

class DvdFolderRefusals : public RecordingTest {
 protected:
  void SetUp() override {
    if (!haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
    startWith("none");
  }
  void TearDown() override {
    if (structure_ != nullptr) Emberline_DVDVideo_Destroy(structure_);
    RecordingTest::TearDown();
  }

  /// A copy of a fixture folder in this test's scratch folder; returns its VIDEO_TS.
  fs::path copyOf(const std::string& fixture, const std::string& as) {
    const fs::path copy = scratch() / as;
    fs::remove_all(copy);
    fs::create_directories(copy);
    fs::copy(fixtures() / fixture / "VIDEO_TS", copy / "VIDEO_TS", fs::copy_options::recursive);
    return copy / "VIDEO_TS";
  }

  uint8_t create(const fs::path& folder) {
    if (structure_ != nullptr) Emberline_DVDVideo_Destroy(structure_);
    structure_ = nullptr;
    return Emberline_DVDVideo_Create(&structure_, folder.c_str(), 1, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                     "Video", "Emberline", "Marrowick", 2025, 12, 9, 15, 20, 0, 125);
  }

  /// Create refuses `folder` with a text holding `expected`, and leaves the folder as it was.
  void refused(const fs::path& folder, const std::string& expected) {
    const auto before = snapshot(folder);
    EXPECT_NE(create(folder), EMBERLINE_OK) << folder;
    EXPECT_EQ(structure_, nullptr);
    EXPECT_NE(std::string(out_.text).find(expected), std::string::npos) << folder << ": " << out_.text;
    EXPECT_EQ(snapshot(folder), before) << "the folder is only read";
  }

  CallOutputs out_;
  EmberlineHandle structure_ = nullptr;
};

TEST_F(DvdFolderRefusals, TitleVobsCutShortOrEmptyAreRefusedNamingTheMissingBytes) {
  const fs::path whole = fixtures() / "one-title" / "VIDEO_TS" / "VTS_01_1.VOB";
  const std::uint64_t size = fs::file_size(whole);
  ASSERT_GT(size, 4u * 2048);
  // Cut on a sector boundary, so every remaining sector is whole: only the cells show what is missing.
  const std::uint64_t kept = size / 2048 / 2 * 2048;
  const fs::path cut = copyOf("one-title", "cut");
  fs::resize_file(cut / "VTS_01_1.VOB", kept);
  auto grouped = [](std::uint64_t value) {
    std::string digits = std::to_string(value);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
  };
  refused(cut, "VTS_01_1.VOB is cut short: it ends " + grouped(size - kept) +
                   " bytes before the last cell that VTS_01_0.IFO points to");
  fs::resize_file(cut / "VTS_01_1.VOB", size - 2048);
  refused(cut, "VTS_01_1.VOB is cut short: it ends 2,048 bytes before the last cell");
  fs::resize_file(cut / "VTS_01_1.VOB", 0);
  refused(cut, "VTS_01_1.VOB is cut short: it ends " + grouped(size) + " bytes before the last cell");

  // The menu VOB of the manager, too.
  const fs::path menu = copyOf("two-titlesets", "menu");
  fs::resize_file(menu / "VIDEO_TS.VOB", fs::file_size(menu / "VIDEO_TS.VOB") - 4096);
  refused(menu, "VIDEO_TS.VOB is cut short: it ends 4,096 bytes before the last");
}

TEST_F(DvdFolderRefusals, SectorAddressesAreBoundedByTheFoldersBytes) {
  const auto vmg = readBytes(fixtures() / "one-title" / "VIDEO_TS" / "VIDEO_TS.IFO");
  const std::size_t titleStart = std::size_t{be32(vmg, 0xC4)} * 2048 + 8 + 8;  // the first title's set start
  struct Damage {
    const char* fixture;
    const char* file;
    std::size_t at;
    std::uint32_t delta;
    const char* expected;
  };
  const std::vector<Damage> damages = {
      // One byte of the title set's start: 32 GiB of zeros before it.
      {"one-title", "VIDEO_TS.IFO", titleStart, 1u << 24,
       "VIDEO_TS.IFO puts VTS_01_0.IFO 34,359,738,368 bytes past the end of the files before it"},
      {"one-title", "VIDEO_TS.IFO", titleStart, 257, "VIDEO_TS.IFO puts VTS_01_0.IFO 526,336 bytes past"},
      {"one-title", "VIDEO_TS.IFO", 0x0C, 1u << 16, "inside what comes before it"},
      // A title set's last sector: its backup far away.
      {"two-titlesets", "VTS_02_0.IFO", 0x0C, 1u << 23, "VTS_02_0.IFO puts VTS_02_0.BUP 17,179,869,184 bytes past"},
      {"two-titlesets", "VTS_02_0.IFO", 0x0C, 1u << 25, "VTS_02_0.IFO puts VTS_02_0.BUP 68,719,476,736 bytes past"},
      {"two-titlesets", "VTS_01_0.IFO", 0x0C, 512, "VTS_01_0.IFO puts VTS_01_0.BUP 1,048,576 bytes past"},
      // Where the title VOBs and a menu VOB start: the cells then lie outside the room left.
      {"two-titlesets", "VTS_02_0.IFO", 0xC4, 16, "VTS_02_0.IFO is not a usable DVD-Video information file"},
      {"two-titlesets", "VTS_01_0.IFO", 0xC0, 16, "VTS_01_0.IFO is not a usable DVD-Video information file"},
  };
  for (const Damage& damage : damages) {
    SCOPED_TRACE(std::string(damage.file) + " at " + std::to_string(damage.at) + " + " + std::to_string(damage.delta));
    const fs::path folder = copyOf(damage.fixture, "damaged");
    damageBoth(folder / damage.file, damage.at, damage.delta);
    refused(folder, damage.expected);
  }
}

TEST_F(DvdFolderRefusals, FilesThatAreNoPartOfTheStructureAreNamedToTheCaller) {
  const fs::path folder = copyOf("one-title", "stray");
  writeBytes(folder / "Thumbs.db", {1, 2, 3});
  writeBytes(folder / "desktop.ini", {4});
  ASSERT_EQ(create(folder), EMBERLINE_OK) << out_.text;

  struct Seen {
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::uint32_t> numbers;
  } seen;
  const EmberlineCallBackProc record = [](uint32_t number, void* context, void* name, void* path) {
    auto& into = *static_cast<Seen*>(context);
    into.numbers.push_back(number);
    into.files.emplace_back(static_cast<const char*>(name), static_cast<const char*>(path));
  };
  EXPECT_EQ(Emberline_DVDVideo_ReportLeftOut(structure_, record, &seen), EMBERLINE_OK);
  EXPECT_EQ(seen.numbers,
            (std::vector<std::uint32_t>{EMBERLINE_CALLBACK_FILE_LEFT_OUT, EMBERLINE_CALLBACK_FILE_LEFT_OUT}));
  ASSERT_EQ(seen.files.size(), 2u);
  EXPECT_EQ(seen.files[0].first, "desktop.ini");
  EXPECT_EQ(fs::path(seen.files[0].second), folder / "desktop.ini");
  EXPECT_EQ(seen.files[1].first, "Thumbs.db");

  // They are not on the disc.
  EmberlineHandle tree = nullptr;
  ASSERT_EQ(Emberline_DVDVideo_GetTreePointer(structure_, &tree), EMBERLINE_OK);
  const auto object = findFileTree(tree);
  ASSERT_TRUE(object);
  EXPECT_EQ(object->tree.find("/VIDEO_TS/Thumbs.db"), nullptr);
  EXPECT_EQ(object->tree.find("/VIDEO_TS/THUMBS.DB"), nullptr);

  // A folder without strays reports nothing; an unknown handle is refused.
  ASSERT_EQ(create(fixtures() / "one-title"), EMBERLINE_OK) << out_.text;
  seen = {};
  EXPECT_EQ(Emberline_DVDVideo_ReportLeftOut(structure_, record, &seen), EMBERLINE_OK);
  EXPECT_TRUE(seen.files.empty());
  EXPECT_EQ(Emberline_DVDVideo_ReportLeftOut(nullptr, record, &seen), EMBERLINE_E_INVALID_ARGUMENT);
}

/// A made-up folder: the manager in sectors 0-3, one title set from sector 4 whose 440 title sectors
/// hold cells starting at `cellStarts` (each running to the next, the last to the end).
void writeCellFolder(const fs::path& videoTs, std::vector<std::uint32_t> cellStarts) {
  std::sort(cellStarts.begin(), cellStarts.end());
  writeBytes(videoTs / "VIDEO_TS.IFO", managerIfo(1, 3, 0, {4}));
  writeBytes(videoTs / "VIDEO_TS.BUP", managerIfo(1, 3, 0, {4}));
  auto vts = titleSetIfo(1, 443, 0, 2);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> cells;
  for (std::size_t i = 0; i < cellStarts.size(); ++i)
    cells.emplace_back(cellStarts[i], i + 1 < cellStarts.size() ? cellStarts[i + 1] - 1 : 439);
  putCellTable(vts, 0xE0, 1, cells);
  writeBytes(videoTs / "VTS_01_0.IFO", vts);
  writeBytes(videoTs / "VTS_01_0.BUP", vts);
  writeBytes(videoTs / "VTS_01_1.VOB", std::vector<std::uint8_t>(440 * 2048, 0));
}

TEST_F(DvdFolderRefusals, ADoubleLayerBreakPassesCellStartsOffAnEccBlockForOneOnIt) {
  // A first layout tells where the title VOBs land and how long the image is.
  const fs::path folder = scratch() / "cells" / "VIDEO_TS";
  writeCellFolder(folder, {0});
  ASSERT_EQ(create(folder), EMBERLINE_OK) << out_.text;
  EmberlineHandle tree = nullptr;
  ASSERT_EQ(Emberline_DVDVideo_GetTreePointer(structure_, &tree), EMBERLINE_OK);
  uint32_t high = 0;
  const uint32_t blocks = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high) / 2048;
  const std::uint32_t titles = findFileTree(tree)->layerBreakCandidates().at(0);
  Emberline_DVDVideo_Destroy(structure_);
  structure_ = nullptr;
  Emberline_ShutDown();
  started_ = false;

  // Layer 0 must hold half the image at least; the first cell start past that is off an ECC
  // block, the next one on it, and layer 0 can hold no more than up to that one.
  const std::uint32_t half = (blocks + 1) / 2;
  const std::uint32_t aligned = (half + 1 + 15) / 16 * 16;
  ASSERT_GT(aligned - 1, titles);
  writeCellFolder(folder, {0, aligned - 1 - titles, aligned - titles});
  burnerWith("dvd+r-dl,capacity=" + std::to_string(2 * aligned));
  ASSERT_EQ(create(folder), EMBERLINE_OK) << out_.text;
  ASSERT_EQ(Emberline_DVDVideo_GetTreePointer(structure_, &tree), EMBERLINE_OK);
  EXPECT_EQ(findFileTree(tree)->layerBreakCandidates(), (std::vector<std::uint32_t>{titles, aligned - 1, aligned}));
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, tree, 1, 0, 1, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  closeSession();
  ASSERT_EQ(eject(), EMBERLINE_OK);
  const auto text = readAll(images(".layers").at(0));
  EXPECT_EQ(std::string(text.begin(), text.end()), "layer0 " + std::to_string(aligned) + "\nset yes\n");
  if (dvd_test::haveTool("udfinfo")) {
    EXPECT_EQ(dvd_test::udfWarnings(images(".iso").at(0)), "") << "every anchor where readers look";
  }
}

}  // namespace
}  // namespace emberline::test
