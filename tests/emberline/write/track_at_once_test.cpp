// Track at once from trees and files, read back from the virtual writer's images.

#include "emberline/write/recording_fixture.h"

namespace emberline::test {
namespace {

class TrackAtOnce : public RecordingTest {
 protected:
  uint8_t taoTree(EmberlineHandle tree, uint8_t testMode = 0, uint8_t multiSession = 0) {
    return Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                    &out_.failure, tree, 1, testMode, multiSession, 1, 5);
  }
};

TEST_F(TrackAtOnce, TreeOnCdRReadsBackByteForByte) {
  burnerWith("cd-r");
  const auto sources = makeSources("cd", {70000, 2 * 1024 * 1024 + 5, 1, 4096});
  ASSERT_EQ(taoTree(treeOf(sources, 0)), EMBERLINE_OK) << out_.text;
  closeSession();
  ASSERT_EQ(eject(), EMBERLINE_OK);

  const auto cues = images(".cue");
  ASSERT_EQ(cues.size(), 1u);
  const std::string info = runTool("cd-info --no-device-info --no-disc-mode --cue-file " + cues[0].string());
  EXPECT_NE(info.find("data"), std::string::npos) << info;
  int invalid = 0;
  const auto iso = isoFromBin(images(".bin").at(0), &invalid);
  EXPECT_EQ(invalid, 0) << "every recorded sector is a valid Mode 1 sector";
  EXPECT_NE(runTool("isoinfo -d -i " + iso.string()).find("WRITE_TEST"), std::string::npos);
  EXPECT_TRUE(sameFiles(sources, extract(iso)));
}

TEST_F(TrackAtOnce, TreeOnDvdPlusRReadsBackByteForByte) {
  burnerWith("dvd+r");
  const auto sources = makeSources("dvd", {123457, 3000, 0});
  ASSERT_EQ(taoTree(treeOf(sources, 0)), EMBERLINE_OK) << out_.text;
  closeSession();
  ASSERT_EQ(eject(), EMBERLINE_OK);
  const auto isos = images(".iso");
  ASSERT_EQ(isos.size(), 1u);
  EXPECT_NE(runTool("isoinfo -d -i " + isos[0].string()).find("Volume id: WRITE_TEST"), std::string::npos);
  EXPECT_NE(runTool("xorriso -indev " + isos[0].string() + " -find / -type f").find("file0.bin"), std::string::npos);
  EXPECT_TRUE(sameFiles(sources, extract(isos[0])));
  EXPECT_EQ(std::filesystem::file_size(isos[0]) % (16 * 2048), 0u) << "DVD+R writes whole ECC blocks";
}

TEST_F(TrackAtOnce, IncrementalOnDvdMinusR) {
  burnerWith("dvd-r");
  const auto sources = makeSources("minus", {50000});
  ASSERT_EQ(taoTree(treeOf(sources, 0)), EMBERLINE_OK) << out_.text;
  closeSession();
  ASSERT_EQ(eject(), EMBERLINE_OK);
  ASSERT_EQ(images(".iso").size(), 1u);
  EXPECT_TRUE(sameFiles(sources, extract(images(".iso")[0])));
}

TEST_F(TrackAtOnce, OverwritableDvdNeedsNoClose) {
  burnerWith("dvd+rw");
  const auto sources = makeSources("rw", {70000});
  ASSERT_EQ(taoTree(treeOf(sources, 0)), EMBERLINE_OK) << out_.text;
  ASSERT_EQ(eject(), EMBERLINE_OK);
  ASSERT_EQ(images(".iso").size(), 1u);
  EXPECT_TRUE(sameFiles(sources, extract(images(".iso")[0])));
}

TEST_F(TrackAtOnce, SecondSessionOnAnAppendableCdIsVisible) {
  burnerWith("cd-r");
  const auto first = makeSources("first", {40000}, 1);
  ASSERT_EQ(taoTree(treeOf(first, 0, "FIRST"), 0, 1), EMBERLINE_OK) << out_.text;
  closeSession();
  EXPECT_EQ(discInformation()[1], 1) << "multiSession 1 leaves the disc appendable";

  const uint32_t next = nextWritableAddress();
  EXPECT_GT(next, 0u);
  const auto second = makeSources("second", {30000, 5}, 2);
  ASSERT_EQ(taoTree(treeOf(second, next, "SECOND"), 0, 0), EMBERLINE_OK) << out_.text;
  closeSession();
  EXPECT_EQ(discInformation()[5], 2) << "two sessions";
  EXPECT_EQ(discInformation()[1], 2) << "multiSession 0 closes the disc";
  ASSERT_EQ(eject(), EMBERLINE_OK);

  const auto iso = isoFromBin(images(".bin").at(0));
  EXPECT_TRUE(sameFiles(first, extract(iso, 0)));
  const std::string listing =
      runTool("xorriso -indev " + iso.string() + " -load sbsector " + std::to_string(next) + " -find / -type f");
  EXPECT_NE(listing.find("file1.bin"), std::string::npos) << listing;
  EXPECT_TRUE(sameFiles(second, extract(iso, next)));
}

TEST_F(TrackAtOnce, ImageBuiltForAnotherAddressIsRefused) {
  burnerWith("cd-r");
  ASSERT_EQ(taoTree(treeOf(makeSources("s", {1000}), 11400)), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("next writable address is 0"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(TrackAtOnce, TestModeLeavesTheDiscBlank) {
  burnerWith("cd-r");
  ASSERT_EQ(taoTree(treeOf(makeSources("t", {100000}), 0), 1), EMBERLINE_OK) << out_.text;
  EXPECT_TRUE(discBlank());
  ASSERT_EQ(eject(), EMBERLINE_OK);
  EXPECT_TRUE(images(".bin").empty());
}

TEST_F(TrackAtOnce, TestModeIsRefusedOnDvdPlusR) {
  burnerWith("dvd+r");
  ASSERT_EQ(taoTree(treeOf(makeSources("t", {100}), 0), 1), EMBERLINE_E_NOT_SUPPORTED);
  EXPECT_NE(std::string(out_.text).find("cannot be test-written"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(TrackAtOnce, IsoFileOnCd) {
  burnerWith("cd-r");
  const auto sources = makeSources("f", {65536, 777});
  const auto iso = isoOf(treeOf(sources, 0), "input.iso");
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, iso.c_str(), 1, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  closeSession();
  ASSERT_EQ(eject(), EMBERLINE_OK);
  const auto written = isoFromBin(images(".bin").at(0));
  const auto original = readAll(iso);
  auto copy = readAll(written);
  ASSERT_GE(copy.size(), original.size());
  copy.resize(original.size());
  EXPECT_TRUE(copy == original);
}

TEST_F(TrackAtOnce, MissingOrRaggedFileIsRefusedBeforeWriting) {
  burnerWith("cd-r");
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, "/nonexistent/x.iso", 1, 0, 0, 1, 5),
            EMBERLINE_E_FILE);
  EXPECT_NE(std::string(out_.text).find("/nonexistent/x.iso"), std::string::npos);
  const auto ragged = scratch() / "ragged.iso";
  std::ofstream(ragged) << "not a multiple of 2048";
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, ragged.c_str(), 1, 0, 0, 1, 5),
            EMBERLINE_E_FILE);
  EXPECT_NE(std::string(out_.text).find("2048"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());
}

}  // namespace
}  // namespace emberline::test
