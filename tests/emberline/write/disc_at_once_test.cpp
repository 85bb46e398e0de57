// Session at once and raw disc at once, from trees and from files.

#include "emberline/write/recording_fixture.h"

namespace emberline::test {
namespace {

class DiscAtOnce : public RecordingTest {
 protected:
  /// A session record of @p isoFiles, or of @p trees when given.
  static std::vector<uint8_t> sessionRecord(const std::vector<std::filesystem::path>& isoFiles,
                                            const std::vector<EmberlineHandle>& trees = {}) {
    std::vector<uint8_t> record(EMBERLINE_SESSION_RECORD_SIZE, 0);
    const auto count = static_cast<uint32_t>(trees.empty() ? isoFiles.size() : trees.size());
    std::memcpy(record.data(), &count, 4);
    for (std::size_t k = 0; k < count; ++k) {
      uint8_t* entry = record.data() + 4 + 287 * k;
      if (trees.empty()) {
        std::strcpy(reinterpret_cast<char*>(entry + 15), isoFiles[k].c_str());
      } else {
        const auto token = static_cast<uint32_t>(reinterpret_cast<std::uintptr_t>(trees[k]));
        std::memcpy(entry + 279, &token, 4);
      }
    }
    return record;
  }

  static std::vector<uint8_t> trackList(const std::vector<std::filesystem::path>& files) {
    std::vector<uint8_t> record(EMBERLINE_TRACK_LIST_SIZE, 0);
    const auto count = static_cast<uint32_t>(files.size());
    std::memcpy(record.data(), &count, 4);
    for (std::size_t k = 0; k < files.size(); ++k)
      std::strcpy(reinterpret_cast<char*>(record.data() + 13 + 796 * k), files[k].c_str());
    return record;
  }

  uint8_t sao(const std::vector<uint8_t>& record, uint8_t fromTree, uint8_t testMode = 0) {
    return Emberline_CdvdWriter_SessionAtOnce(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure,
                                              record.data(), fromTree, testMode, 1, 1, 5);
  }

  /// The written disc's data as an ISO, checked to be all valid Mode 1 sectors.
  std::filesystem::path writtenIso() {
    EXPECT_EQ(eject(), EMBERLINE_OK);
    const auto bins = images(".bin");
    EXPECT_EQ(bins.size(), 1u);
    if (bins.empty()) return {};
    int invalid = 0;
    auto iso = isoFromBin(bins[0], &invalid);
    EXPECT_EQ(invalid, 0);
    return iso;
  }
};

TEST_F(DiscAtOnce, SessionAtOnceFromIsoFiles) {
  burnerWith("cd-r");
  const auto sources = makeSources("sao", {300000, 12});
  const auto iso = isoOf(treeOf(sources, 0), "sao.iso");
  ASSERT_EQ(sao(sessionRecord({iso}), 0), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(discInformation()[1], 2) << "the drive closed the session and the disc";
  EXPECT_TRUE(sameFiles(sources, extract(writtenIso())));
}

TEST_F(DiscAtOnce, SessionAtOnceFromTreeShorterThanFourSecondsIsPadded) {
  burnerWith("cd-r");
  const auto sources = makeSources("small", {10});
  ASSERT_EQ(sao(sessionRecord({}, {treeOf(sources, 0)}), 1), EMBERLINE_OK) << out_.text;
  const auto iso = writtenIso();
  EXPECT_GE(std::filesystem::file_size(iso), 300u * 2048);
  EXPECT_TRUE(sameFiles(sources, extract(iso)));
}

TEST_F(DiscAtOnce, SessionAtOnceOnDvdMinusRIsDiscAtOnce) {
  burnerWith("dvd-r");
  const auto sources = makeSources("dao", {99999});
  ASSERT_EQ(sao(sessionRecord({}, {treeOf(sources, 0)}), 1), EMBERLINE_OK) << out_.text;
  ASSERT_EQ(eject(), EMBERLINE_OK);
  ASSERT_EQ(images(".iso").size(), 1u);
  EXPECT_TRUE(sameFiles(sources, extract(images(".iso")[0])));
}

TEST_F(DiscAtOnce, SessionAtOnceTestModeLeavesTheDiscBlank) {
  burnerWith("cd-r");
  ASSERT_EQ(sao(sessionRecord({}, {treeOf(makeSources("t", {5000}), 0)}), 1, 1), EMBERLINE_OK) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(DiscAtOnce, RawPqFromTree) {
  burnerWith("cd-r");
  const auto sources = makeSources("pq", {400000, 3});
  ASSERT_EQ(Emberline_CdvdWriter_DiscAtOncePQFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                      &out_.failure, treeOf(sources, 0), 0, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  EXPECT_EQ(discInformation()[1], 2);
  EXPECT_TRUE(sameFiles(sources, extract(writtenIso())));
}

TEST_F(DiscAtOnce, RawPwFromTree) {
  burnerWith("cd-r");
  const auto sources = makeSources("pw", {250000});
  ASSERT_EQ(Emberline_CdvdWriter_DiscAtOnceRawPWFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                         &out_.failure, treeOf(sources, 0), 0, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  EXPECT_TRUE(sameFiles(sources, extract(writtenIso())));
}

TEST_F(DiscAtOnce, RawFromUserAndRawSectorFiles) {
  burnerWith("cd-r");
  const auto sources = makeSources("files", {200000});
  const auto iso = isoOf(treeOf(sources, 0), "user.iso");
  const auto list = trackList({iso});
  ASSERT_EQ(Emberline_CdvdWriter_DiscAtOncePQFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                      &out_.failure, list.data(), 0, 0, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  const auto firstBin = images(".bin");
  const auto written = writtenIso();
  EXPECT_TRUE(sameFiles(sources, extract(written)));

  // The first disc's sectors fed back as raw input give the same disc.
  const auto rawInput = images(".bin").at(0);
  const auto rawList = trackList({rawInput});
  ASSERT_EQ(Emberline_CdvdWriter_DiscAtOnceRawPWFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                         &out_.failure, rawList.data(), 0, 0, 0, 1, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  ASSERT_EQ(eject(), EMBERLINE_OK);
  std::vector<std::filesystem::path> bins = images(".bin");
  ASSERT_EQ(bins.size(), 2u);
  EXPECT_TRUE(readAll(bins[0]) == readAll(bins[1]));
}

TEST_F(DiscAtOnce, RefusalsHappenBeforeAnythingIsWritten) {
  burnerWith("dvd+r");
  auto tree = treeOf(makeSources("r", {100}), 0);
  EXPECT_EQ(Emberline_CdvdWriter_DiscAtOncePQFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                      &out_.failure, tree, 0, 0, 0, 1, 5),
            EMBERLINE_E_NOT_SUPPORTED);
  EXPECT_NE(std::string(out_.text).find("DVD"), std::string::npos) << out_.text;
  EXPECT_EQ(sao(sessionRecord({}, {tree}), 1), EMBERLINE_E_NOT_SUPPORTED);
  EXPECT_TRUE(discBlank());
}

TEST_F(DiscAtOnce, TreeBuiltForAnotherAddressIsRefusedBeforeAnythingIsWritten) {
  burnerWith("cd-r");
  auto tree = treeOf(makeSources("elsewhere", {1000}), 11400);
  EXPECT_EQ(sao(sessionRecord({}, {tree}), 1), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("built for LBA 11400 but the track starts at LBA 0"), std::string::npos)
      << out_.text;
  EXPECT_EQ(Emberline_CdvdWriter_DiscAtOncePQFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                      &out_.failure, tree, 0, 0, 0, 1, 5),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("built for LBA 11400 but the track starts at LBA 0"), std::string::npos)
      << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(DiscAtOnce, DiscAtOnceOnANonBlankDiscIsRefused) {
  burnerWith("cd-r,sessions=1,appendable=1");
  ASSERT_FALSE(discBlank());
  const auto before = discInformation();
  auto tree = treeOf(makeSources("nb", {100}), 0);
  EXPECT_EQ(Emberline_CdvdWriter_DiscAtOnceRawPWFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                         &out_.failure, tree, 0, 0, 0, 1, 5),
            EMBERLINE_E_NOT_SUPPORTED);
  EXPECT_NE(std::string(out_.text).find("blank"), std::string::npos) << out_.text;
  EXPECT_EQ(sao(sessionRecord({}, {tree}), 1), EMBERLINE_E_NOT_SUPPORTED);
  EXPECT_EQ(discInformation(), before);
}

TEST_F(DiscAtOnce, BadRecordsAreRefusedNamingTheTrack) {
  burnerWith("cd-r");
  auto record = sessionRecord({});
  EXPECT_EQ(sao(record, 0), EMBERLINE_E_INVALID_ARGUMENT) << "a count of 0";
  const uint32_t tooMany = 102;
  std::memcpy(record.data(), &tooMany, 4);
  EXPECT_EQ(sao(record, 0), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("102"), std::string::npos) << out_.text;

  const auto good = isoOf(treeOf(makeSources("g", {100}), 0), "good.iso");
  record = sessionRecord({good, scratch() / "missing.iso"});
  EXPECT_EQ(sao(record, 0), EMBERLINE_E_FILE);
  EXPECT_NE(std::string(out_.text).find("track 2"), std::string::npos) << out_.text;
  EXPECT_NE(std::string(out_.text).find("missing.iso"), std::string::npos) << out_.text;

  record = sessionRecord({good});
  std::memset(record.data() + 4 + 15, 'a', 279 - 15);
  EXPECT_EQ(sao(record, 0), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("not terminated"), std::string::npos) << out_.text;

  auto tree = treeOf(makeSources("twice", {100}), 0);
  EXPECT_EQ(sao(sessionRecord({}, {tree, tree}), 1), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(out_.text).find("same file tree"), std::string::npos) << out_.text;

  auto list = trackList({good});
  const uint32_t overLimit = 101;
  std::memcpy(list.data(), &overLimit, 4);
  EXPECT_EQ(Emberline_CdvdWriter_DiscAtOncePQFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                      &out_.failure, list.data(), 0, 0, 0, 0, 1, 5),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_TRUE(discBlank());
}

}  // namespace
}  // namespace emberline::test
