// DVD-Video structures through the flat API: Create checks and lays out the
// folder, the structure's tree reads as the bridge image and burns onto the
// virtual DVD writers, and Destroy takes the tree with it.

#include <algorithm>
#include <optional>
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
using dvd_test::haveTool;
using dvd_test::readBytes;
using dvd_test::run;
using dvd_test::snapshot;
using dvd_test::titles;
using dvd_test::udfWarnings;

class DvdVideoCalls : public RecordingTest {
 protected:
  void SetUp() override {
    if (!haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
  }
  void TearDown() override {
    if (structure_ != nullptr) Emberline_DVDVideo_Destroy(structure_);
    RecordingTest::TearDown();
  }

  uint8_t create(const fs::path& folder, uint16_t month = 12, uint16_t day = 9) {
    return Emberline_DVDVideo_Create(&structure_, folder.c_str(), 1, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                     "Video", "Emberline", "Marrowick", 2025, month, day, 15, 20, 0, 125);
  }
  EmberlineHandle tree() {
    EmberlineHandle handle = nullptr;
    EXPECT_EQ(Emberline_DVDVideo_GetTreePointer(structure_, &handle), EMBERLINE_OK);
    return handle;
  }

  /// Burns the structure of two-titlesets onto `medium` and checks what the disc holds.
  void burnsOnto(const std::string& medium) {
    burnerWith(medium);
    const fs::path source = fixtures() / "two-titlesets";
    const auto before = snapshot(source);
    ASSERT_EQ(create(source), EMBERLINE_OK) << out_.text;
    const fs::path image = isoOf(tree(), "dvd.iso");
    ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                       &out_.failure, tree(), 1, 0, 1, 1, 5),
              EMBERLINE_OK)
        << out_.text;
    if (medium != "dvd+rw") {
      // Asked for multisession as the program asks, yet closed: players read only a closed disc.
      EXPECT_EQ(discInformation()[1] & 3, 2) << "the disc is complete after the burn itself";
      closeSession();
    }
    ASSERT_EQ(eject(), EMBERLINE_OK);
    EXPECT_EQ(snapshot(source), before) << "the source folder is only read";

    const auto discs = images(".iso");
    ASSERT_EQ(discs.size(), 1u);
    const auto recorded = readBytes(discs[0]);
    const auto expected = readBytes(image);
    ASSERT_GE(recorded.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), recorded.begin())) << "the disc holds the image";

    // The burn pads the image to whole ECC blocks: the closing anchor must still be the last block.
    if (haveTool("udfinfo")) {
      EXPECT_EQ(udfWarnings(discs[0]), "") << "every anchor where readers look, on " << medium;
      EXPECT_EQ(udfWarnings(image), "") << "the image file as clean";
    }
    EXPECT_EQ(fs::file_size(image) % (16 * 2048), 0u) << "the image ends on an ECC block";

    if (!haveTool("lsdvd") || !haveTool("dvdbackup")) return;
    const std::string fromFolder = titles(run("lsdvd -x '" + source.string() + "'"));
    EXPECT_FALSE(fromFolder.empty());
    EXPECT_EQ(titles(run("lsdvd -x '" + discs[0].string() + "'")), fromFolder);
    const fs::path backup = scratch() / "backup";
    run("dvdbackup -M -n COPY -i '" + discs[0].string() + "' -o '" + backup.string() + "'");
    for (const auto& entry : fs::directory_iterator(source / "VIDEO_TS"))
      EXPECT_TRUE(readBytes(entry.path()) == readBytes(backup / "COPY" / "VIDEO_TS" / entry.path().filename()))
          << entry.path();
  }

  CallOutputs out_;
  EmberlineHandle structure_ = nullptr;
};

TEST_F(DvdVideoCalls, BurnsOntoDvdMinusR) {
  burnsOnto("dvd-r");
}

TEST_F(DvdVideoCalls, BurnsOntoDvdPlusR) {
  burnsOnto("dvd+r");
}

TEST_F(DvdVideoCalls, BurnsOntoDvdPlusRw) {
  burnsOnto("dvd+rw");
}

TEST_F(DvdVideoCalls, OnADoubleLayerDiscTheLayerBreaksOnACellStart) {
  const fs::path source = fixtures() / "two-titlesets";
  // A first look at the image's size, to make layers just too small for it.
  startWith("dvd+r");
  ASSERT_EQ(create(source), EMBERLINE_OK) << out_.text;
  uint32_t high = 0;
  const uint32_t blocks = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree(), &high) / 2048;
  const std::vector<std::uint32_t> candidates = findFileTree(tree())->layerBreakCandidates();
  ASSERT_FALSE(candidates.empty());
  Emberline_DVDVideo_Destroy(structure_);
  structure_ = nullptr;
  Emberline_ShutDown();
  started_ = false;

  // Layer 0 ends on a cell start that is also an ECC block boundary, where drives put the break; layers
  // just large enough for the first such start past the half. Without one the burn is refused unwritten.
  std::uint32_t layer = (blocks - 1) / 16 * 16;
  std::optional<std::uint32_t> aligned;
  for (std::uint32_t start : candidates)
    if (start % 16 == 0 && start * 2 >= blocks && start < blocks && !aligned) aligned = start;
  if (aligned) layer = std::max<std::uint32_t>(*aligned, (blocks + 31) / 32 * 16);
  burnerWith("dvd+r-dl,capacity=" + std::to_string(2 * layer));
  ASSERT_EQ(create(source), EMBERLINE_OK) << out_.text;
  const uint8_t burnt = Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                                 &out_.failure, tree(), 1, 0, 1, 1, 5);
  if (!aligned) {
    EXPECT_NE(burnt, EMBERLINE_OK);
    EXPECT_NE(std::string(out_.text).find("a multiple of 16 blocks"), std::string::npos) << out_.text;
    EXPECT_TRUE(discBlank()) << "the disc stays blank";
    return;
  }
  ASSERT_EQ(burnt, EMBERLINE_OK) << out_.text;
  closeSession();
  ASSERT_EQ(eject(), EMBERLINE_OK);

  const auto text = readAll(images(".layers").at(0));
  std::istringstream in(std::string(text.begin(), text.end()));
  std::string word, set;
  uint32_t layer0 = 0;
  in >> word >> layer0 >> word >> set;
  EXPECT_EQ(set, "yes") << "the break was sent before writing";
  EXPECT_EQ(layer0, *aligned) << "layer 0 ends where a cell starts on an ECC block";
  EXPECT_GE(layer0 * 2, blocks) << "the first layer is not the smaller";
  if (haveTool("lsdvd")) {
    EXPECT_EQ(titles(run("lsdvd -x '" + images(".iso").at(0).string() + "'")),
              titles(run("lsdvd -x '" + source.string() + "'")));
  }
  if (haveTool("udfinfo")) {
    EXPECT_EQ(udfWarnings(images(".iso").at(0)), "") << "every anchor where readers look";
  }
}

TEST_F(DvdVideoCalls, TheTreeReadsAsTheImageAndOffersTitleCellsAsLayerBreaks) {
  startWith("none");
  ASSERT_EQ(create(fixtures() / "two-titlesets"), EMBERLINE_OK) << out_.text;
  const EmberlineHandle handle = tree();
  ASSERT_NE(handle, nullptr);
  uint32_t high = 1;
  const uint32_t size = Emberline_ISO9660JolietFileTree_GetSizeInBytes(handle, &high);
  EXPECT_EQ(high, 0u);
  ASSERT_GT(size, 300u * 2048);
  EXPECT_EQ(size % 2048, 0u);

  // Read in pieces that do not fall on block boundaries, then again from the start.
  std::vector<uint8_t> first(size), again(size);
  for (uint32_t at = 0; at < size;) {
    const uint32_t count = std::min<uint32_t>(size - at, 7000);
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_Read(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, count,
                                                   first.data() + at),
              EMBERLINE_OK)
        << out_.text;
    at += count;
  }
  EXPECT_NE(Emberline_ISO9660JolietFileTree_Read(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, 1, again.data()),
            EMBERLINE_OK)
      << "nothing past the end";
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SeekToBegin(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status),
            EMBERLINE_OK);
  ASSERT_EQ(
      Emberline_ISO9660JolietFileTree_Read(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, size, again.data()),
      EMBERLINE_OK);
  EXPECT_TRUE(first == again);
  EXPECT_EQ(std::string(first.begin() + 16 * 2048 + 1, first.begin() + 16 * 2048 + 6), "CD001");
  EXPECT_EQ(std::string(first.begin() + 18 * 2048 + 1, first.begin() + 18 * 2048 + 6), "BEA01");

  // Each candidate starts a navigation pack of a title VOB; the first is the start of VTS_01_1.VOB.
  const auto object = findFileTree(handle);
  ASSERT_TRUE(object);
  const std::vector<std::uint32_t> breaks = object->layerBreakCandidates();
  ASSERT_GE(breaks.size(), 3u);
  const auto vob = readBytes(fixtures() / "two-titlesets" / "VIDEO_TS" / "VTS_01_1.VOB");
  EXPECT_TRUE(std::equal(vob.begin(), vob.begin() + 2048, first.begin() + std::size_t{breaks[0]} * 2048));
  for (std::uint32_t block : breaks) {
    ASSERT_LT(std::uint64_t{block} * 2048, size);
    EXPECT_EQ(first[std::size_t{block} * 2048 + 3], 0xBA) << block;
  }

  // A data tree may break anywhere: it names no candidates.
  EmberlineHandle data = nullptr;
  ASSERT_EQ(
      Emberline_ISO9660JolietFileTree_Create(&data, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, nullptr, nullptr),
      EMBERLINE_OK);
  EXPECT_TRUE(findFileTree(data)->layerBreakCandidates().empty());
}

TEST_F(DvdVideoCalls, TheStructuresTreeCannotBeChangedOrLaidOutAgain) {
  startWith("none");
  ASSERT_EQ(create(fixtures() / "one-title"), EMBERLINE_OK) << out_.text;
  const EmberlineHandle handle = tree();
  uint32_t high = 0;
  const uint32_t size = Emberline_ISO9660JolietFileTree_GetSizeInBytes(handle, &high);
  const std::string vob = (fixtures() / "one-title" / "VIDEO_TS" / "VTS_01_1.VOB").string();
  auto refused = [&](uint8_t code) {
    EXPECT_EQ(code, EMBERLINE_E_INVALID_ARGUMENT);
    EXPECT_NE(std::string(out_.text).find("DVD-Video structure"), std::string::npos) << out_.text;
  };
  refused(Emberline_ISO9660JolietFileTree_AddFile(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, "/",
                                                  vob.c_str(), "EXTRA.VOB"));
  refused(Emberline_ISO9660JolietFileTree_AddFolder(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, "/",
                                                    (fixtures() / "one-title").c_str()));
  refused(Emberline_ISO9660JolietFileTree_Remove(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, "/VIDEO_TS"));
  refused(Emberline_ISO9660JolietFileTree_SetBootImage(handle, vob.c_str(), 4, 0, 1, 0, out_.text, EMBERLINE_TEXT_SIZE,
                                                       &out_.status));
  refused(Emberline_ISO9660JolietFileTree_BuildImage(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, 0, 2, 1,
                                                     "DATA", "", ""));
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_GetSizeInBytes(handle, &high), size) << "the image is as it was";
}

TEST_F(DvdVideoCalls, DestroyTakesTheTreeWithIt) {
  startWith("none");
  ASSERT_EQ(create(fixtures() / "one-title"), EMBERLINE_OK) << out_.text;
  const EmberlineHandle handle = tree();
  ASSERT_EQ(Emberline_DVDVideo_Destroy(structure_), EMBERLINE_OK);
  const EmberlineHandle destroyed = structure_;
  structure_ = nullptr;

  uint32_t high = 7;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_GetSizeInBytes(handle, &high), 0u);
  EXPECT_EQ(high, 0u);
  uint8_t byte = 0;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_Read(handle, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, 1, &byte),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_FALSE(findFileTree(handle));
  EmberlineHandle again = handle;
  EXPECT_EQ(Emberline_DVDVideo_GetTreePointer(destroyed, &again), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_EQ(again, nullptr);
  EXPECT_EQ(Emberline_DVDVideo_Destroy(destroyed), EMBERLINE_E_INVALID_ARGUMENT);
  // A tree handle is not a structure, nor is a structure a tree.
  ASSERT_EQ(create(fixtures() / "one-title"), EMBERLINE_OK);
  EXPECT_EQ(Emberline_DVDVideo_Destroy(tree()), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_GetSizeInBytes(structure_, &high), 0u);
}

TEST_F(DvdVideoCalls, BadFoldersAreRefusedWithWhatTheyLack) {
  startWith("none");
  dvd_test::TempFolder temp;
  const fs::path noManager = temp.path() / "no-manager";
  fs::copy(fixtures() / "one-title", noManager, fs::copy_options::recursive);
  fs::remove(noManager / "VIDEO_TS" / "VIDEO_TS.IFO");
  const std::vector<std::pair<fs::path, std::string>> cases = {
      {fixtures() / "missing", "does not exist"},
      {fixtures() / "empty", "is empty"},
      {fixtures() / "not-a-folder", "is not a folder"},
      {noManager, "VIDEO_TS.IFO is missing"},
      {fixtures() / "missing-bup", "VTS_01_0.BUP, the backup of VTS_01_0.IFO, is missing"},
      {fixtures() / "vob-gap", "VTS_01_1.VOB is missing, though VTS_01_2.VOB is present"},
      {fixtures() / "truncated-ifo", "VTS_01_0.IFO"},
  };
  for (const auto& [folder, text] : cases) {
    SCOPED_TRACE(folder.string());
    const auto before =
        fs::exists(folder) && fs::is_directory(folder) ? snapshot(folder) : decltype(snapshot(folder)){};
    structure_ = reinterpret_cast<EmberlineHandle>(std::uintptr_t{1});
    EXPECT_EQ(create(folder), EMBERLINE_E_INVALID_ARGUMENT);
    EXPECT_EQ(structure_, nullptr);
    EXPECT_NE(std::string(out_.text).find(text), std::string::npos) << out_.text;
    if (fs::is_directory(folder)) {
      EXPECT_EQ(snapshot(folder), before);
    }
  }
  EXPECT_EQ(Emberline_DVDVideo_Create(&structure_, nullptr, 1, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, "", "", "",
                                      2025, 1, 1, 0, 0, 0, 0),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_EQ(create(fixtures() / "one-title", 2, 30), EMBERLINE_E_INVALID_ARGUMENT) << "30 February";
  EXPECT_NE(std::string(out_.text).find("does not exist"), std::string::npos) << out_.text;
  EXPECT_EQ(structure_, nullptr);
}

TEST_F(DvdVideoCalls, NothingIsMadeBeforeTheLibraryStarts) {
  EXPECT_EQ(create(fixtures() / "one-title"), EMBERLINE_E_NOT_STARTED);
  EXPECT_EQ(structure_, nullptr);
}

}  // namespace
}  // namespace emberline::test
