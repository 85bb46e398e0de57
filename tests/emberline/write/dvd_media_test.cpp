// A file tree burnt onto each DVD medium of the virtual writers, read back
// through the drive and from the recorded image.

#include "emberline/write/recording_fixture.h"

namespace emberline::test {
namespace {

constexpr uint8_t kDiscComplete = 2;

class DvdMedia : public RecordingTest {
 protected:
  /// Burns a small tree onto @p spec's medium as a single-session disc and checks it reads back.
  void burnsAndReadsBack(const std::string& spec, bool closed) {
    burnerWith(spec);
    const auto sources = makeSources("tree", {123457, 3000, 0, 40000});
    const EmberlineHandle tree = treeOf(sources, 0, "DVD_MEDIA");
    const auto built = readAll(isoOf(tree, "built.iso"));
    ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                       &out_.failure, tree, 1, 0, 0, 1, 5),
              EMBERLINE_OK)
        << out_.text;
    if (closed) {
      EXPECT_EQ(discInformation()[1], kDiscComplete) << "the burn itself closed the disc";
    }
    closeSession();  // as the program does after a burn: nothing is left to close
    char label[64] = {};
    ASSERT_EQ(Emberline_CdvdWriter_GetVolumeLabel(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure,
                                                  label, sizeof label),
              EMBERLINE_OK)
        << out_.text;
    EXPECT_STREQ(label, "DVD_MEDIA") << "read back through the drive";
    ASSERT_EQ(eject(), EMBERLINE_OK);
    const auto isos = images(".iso");
    ASSERT_EQ(isos.size(), 1u);
    EXPECT_NE(runTool("isoinfo -d -i " + isos[0].string()).find("Volume id: DVD_MEDIA"), std::string::npos);
    EXPECT_TRUE(sameFiles(sources, extract(isos[0])));
    auto recorded = readAll(isos[0]);
    ASSERT_GE(recorded.size(), built.size());
    EXPECT_EQ(recorded.size() % (16 * 2048), 0u) << "whole ECC blocks";
    recorded.resize(built.size());
    EXPECT_TRUE(recorded == built) << "the disc holds the tree's image byte for byte";
  }
};

TEST_F(DvdMedia, DvdMinusRIsRecordedAtOnceAndClosed) {
  burnsAndReadsBack("dvd-r", true);
}

TEST_F(DvdMedia, DvdMinusRwIsRecordedAtOnceAndClosed) {
  burnsAndReadsBack("dvd-rw", true);
}

TEST_F(DvdMedia, DvdPlusRIsFinalized) {
  burnsAndReadsBack("dvd+r", true);
}

TEST_F(DvdMedia, DvdPlusRDlThatFitsOneLayerIsFinalized) {
  burnsAndReadsBack("dvd+r-dl,capacity=8192", true);
  const auto layers = images(".layers");
  ASSERT_EQ(layers.size(), 1u);
  const auto text = readAll(layers[0]);
  EXPECT_EQ(std::string(text.begin(), text.end()), "layer0 4096\nset no\n") << "no layer break was sent";
}

TEST_F(DvdMedia, DataTreeLargerThanOneLayerBreaksAtTheHalf) {
  // 2048 blocks a layer; the tree's image takes some 2400.
  burnerWith("dvd+r-dl,capacity=4096");
  const auto sources = makeSources("big", {3000000, 1900000});
  const EmberlineHandle tree = treeOf(sources, 0, "TWO_LAYERS");
  uint32_t high = 0;
  const uint32_t blocks = Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high) / 2048;
  ASSERT_GT(blocks, 2048u);
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, tree, 1, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  ASSERT_EQ(eject(), EMBERLINE_OK);
  const uint32_t written = (blocks + 15) / 16 * 16;
  const uint32_t layer0 = ((written + 1) / 2 + 15) / 16 * 16;
  const auto text = readAll(images(".layers").at(0));
  EXPECT_EQ(std::string(text.begin(), text.end()), "layer0 " + std::to_string(layer0) + "\nset yes\n");
  EXPECT_TRUE(sameFiles(sources, extract(images(".iso").at(0))));
}

TEST_F(DvdMedia, BlankDvdPlusRwIsFormattedFirst) {
  burnsAndReadsBack("dvd+rw", false);
}

TEST_F(DvdMedia, RestrictedOverwriteDvdMinusRwIsOverwritten) {
  burnsAndReadsBack("dvd-rw-ro", false);
}

TEST_F(DvdMedia, SimulatedDiscAtOnceLeavesTheDvdMinusRBlank) {
  burnerWith("dvd-r");
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(makeSources("t", {5000}), 0), 1, 1, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  EXPECT_TRUE(discBlank());
  ASSERT_EQ(eject(), EMBERLINE_OK);
  EXPECT_TRUE(images(".iso").empty());
}

TEST_F(DvdMedia, MultisessionDvdPlusRStaysAppendable) {
  burnerWith("dvd+r");
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(makeSources("m", {5000}), 0), 1, 0, 1, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  closeSession();
  EXPECT_EQ(discInformation()[1], 1) << "another session may follow";
}

TEST_F(DvdMedia, MultisessionDvdMinusRIsRecordedIncrementally) {
  burnerWith("dvd-r");
  const auto sources = makeSources("m", {5000});
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(sources, 0), 1, 0, 1, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  closeSession();
  EXPECT_EQ(discInformation()[1], 1) << "another session may follow";
  ASSERT_EQ(eject(), EMBERLINE_OK);
  EXPECT_TRUE(sameFiles(sources, extract(images(".iso").at(0))));
}

}  // namespace
}  // namespace emberline::test
