// Reading burned discs back: every kind and write mode on the virtual
// writers passes a verify, and a block the writer recorded wrongly or cannot
// read back fails it, naming the sector and the file that lies there.

#include <algorithm>
#include <cstring>
#include <optional>

#include "emberline/dvd_video.h"
#include "emberline/video/video_fixtures.h"
#include "emberline/write/recording_fixture.h"
#include "video/mpeg_stream_check.h"
#include "video/vcd_disc_layout.h"

namespace emberline::test {
namespace {

enum class Fault { None, CorruptData, CorruptDirectory, Unreadable };

std::string faultName(Fault f) {
  switch (f) {
    case Fault::None:
      return "None";
    case Fault::CorruptData:
      return "CorruptData";
    case Fault::CorruptDirectory:
      return "CorruptDirectory";
    case Fault::Unreadable:
      return "Unreadable";
  }
  return "?";
}

/// The image block whose 2048 bytes are those at @p offset of @p file.
std::optional<std::uint32_t> blockHolding(const std::vector<char>& iso, const std::filesystem::path& file,
                                          std::size_t offset = 0) {
  const std::vector<char> bytes = readAll(file);
  if (bytes.size() < offset + 2048) return std::nullopt;
  for (std::size_t at = 0; at + 2048 <= iso.size(); at += 2048)
    if (std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                   bytes.begin() + static_cast<std::ptrdiff_t>(offset + 2048),
                   iso.begin() + static_cast<std::ptrdiff_t>(at)))
      return static_cast<std::uint32_t>(at / 2048);
  return std::nullopt;
}

class Verify : public RecordingTest {
 protected:
  uint8_t verify() {
    compared_ = 0;
    return Emberline_CdvdWriter_Verify(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure,
                                       &compared_);
  }

  /// Shuts the library down and starts it again with @p spec: the fault's
  /// block is known only once a first tree showed where things lie.
  void restartWith(const std::string& spec) {
    for (EmberlineHandle& tree : trees_) Emberline_Destroy(&tree);
    trees_.clear();
    if (writer_ != nullptr) Emberline_Destroy(&writer_);
    Emberline_ShutDown();
    started_ = false;
    burnerWith(spec);
  }

  /// Expects a failed verify naming @p sector and @p where.
  void expectFailure(uint8_t code, std::uint32_t sector, const std::string& where, bool unreadable) {
    const std::string text = out_.text;
    if (unreadable) {
      EXPECT_EQ(code, EMBERLINE_E_CHECK_CONDITION) << text;
      EXPECT_EQ(out_.status, 0x031100u) << text;
      EXPECT_NE(text.find("sector " + std::to_string(sector) + " cannot be read back after 4 attempts"),
                std::string::npos)
          << text;
    } else {
      EXPECT_EQ(code, EMBERLINE_E_VERIFY_MISMATCH) << text;
      EXPECT_NE(text.find("sector " + std::to_string(sector) + ","), std::string::npos) << text;
    }
    EXPECT_NE(text.find(where), std::string::npos) << text;
  }

  uint64_t compared_ = 0;
};

// --- Data discs --------------------------------------------------------------

struct DataCase {
  const char* name;
  const char* medium;
  const char* mode;  // tao, sao, dao-pq, dao-raw
};

class DataDiscVerify : public Verify, public ::testing::WithParamInterface<std::tuple<DataCase, Fault>> {
 protected:
  uint8_t burn(EmberlineHandle tree) {
    const std::string mode = std::get<0>(GetParam()).mode;
    if (mode == "sao") {
      std::vector<uint8_t> record(EMBERLINE_SESSION_RECORD_SIZE, 0);
      const uint32_t count = 1;
      std::memcpy(record.data(), &count, 4);
      const auto token = static_cast<uint32_t>(reinterpret_cast<std::uintptr_t>(tree));
      std::memcpy(record.data() + 4 + 279, &token, 4);
      return Emberline_CdvdWriter_SessionAtOnce(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure,
                                                record.data(), 1, 0, 1, 1, 5);
    }
    const auto call = mode == "dao-pq"    ? &Emberline_CdvdWriter_DiscAtOncePQFromTree
                      : mode == "dao-raw" ? &Emberline_CdvdWriter_DiscAtOnceRawPWFromTree
                                          : &Emberline_CdvdWriter_TrackAtOnceFromTree;
    return call(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure, tree, 1, 0, 0, 1, 5);
  }
};

TEST_P(DataDiscVerify, PassesOrNamesTheFaultySector) {
  const auto& [c, fault] = GetParam();
  burnerWith(c.medium);
  const auto sources = makeSources("data", {150000, 70000, 300000});
  const std::vector<char> iso = readAll(isoOf(treeOf(sources, 0), "planned.iso"));
  // file0.bin's third block, and the ISO 9660 root directory (its extent from the primary volume descriptor).
  const auto dataBlock = blockHolding(iso, sources / "file0.bin", 2 * 2048);
  ASSERT_TRUE(dataBlock.has_value());
  std::uint32_t rootDirectory = 0;
  std::memcpy(&rootDirectory, iso.data() + 16 * 2048 + 158, 4);

  std::string spec = c.medium;
  if (fault == Fault::CorruptData) spec += ",fault=corrupt@" + std::to_string(*dataBlock);
  if (fault == Fault::CorruptDirectory) spec += ",fault=corrupt@" + std::to_string(rootDirectory);
  if (fault == Fault::Unreadable) spec += ",fault=unreadable@" + std::to_string(*dataBlock);
  restartWith(spec);
  ASSERT_EQ(burn(treeOf(sources, 0)), EMBERLINE_OK) << out_.text;
  log_.progress.clear();
  const uint8_t code = verify();

  switch (fault) {
    case Fault::None:
      EXPECT_EQ(code, EMBERLINE_OK) << out_.text;
      EXPECT_EQ(compared_, iso.size() / 2048);
      ASSERT_FALSE(log_.progress.empty());
      EXPECT_EQ(log_.progress.back().first, iso.size()) << "progress counts the bytes compared";
      EXPECT_EQ(log_.progress.back().second, log_.progress.back().first);
      break;
    case Fault::CorruptData:
      // The writer changes byte 100 of the block: the message points at it in the file.
      expectFailure(code, *dataBlock, "file0.bin at byte " + std::to_string(2 * 2048 + 100), false);
      break;
    case Fault::CorruptDirectory:
      expectFailure(code, rootDirectory, "the file system's structures", false);
      break;
    case Fault::Unreadable:
      expectFailure(code, *dataBlock, "file0.bin at byte " + std::to_string(2 * 2048), true);
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(
    KindsAndModes, DataDiscVerify,
    ::testing::Combine(::testing::Values(DataCase{"CdrTao", "cd-r", "tao"}, DataCase{"CdrSao", "cd-r", "sao"},
                                         DataCase{"CdrDaoPq", "cd-r", "dao-pq"},
                                         DataCase{"CdrDaoRaw", "cd-r", "dao-raw"},
                                         DataCase{"DvdMinusR", "dvd-r", "tao"}, DataCase{"DvdPlusR", "dvd+r", "tao"},
                                         DataCase{"DvdPlusRw", "dvd+rw", "tao"},
                                         DataCase{"DvdPlusRDl", "dvd+r-dl,capacity=8192", "tao"}),
                       ::testing::Values(Fault::None, Fault::CorruptData, Fault::CorruptDirectory, Fault::Unreadable)),
    [](const auto& param) { return std::string(std::get<0>(param.param).name) + faultName(std::get<1>(param.param)); });

TEST_F(Verify, NeedsARecordingOfItsOwnThatWroteSomething) {
  burnerWith("cd-r");
  EXPECT_EQ(verify(), EMBERLINE_E_INVALID_ARGUMENT) << "nothing recorded yet";
  const auto sources = makeSources("data", {5000});
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(sources, 0), 1, 1, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  EXPECT_EQ(verify(), EMBERLINE_E_INVALID_ARGUMENT) << "a test recording leaves the disc blank";
  EXPECT_NE(std::string(out_.text).find("nothing to verify"), std::string::npos) << out_.text;
}

TEST_F(Verify, ASourceChangedSinceTheBurnIsFound) {
  burnerWith("cd-r");
  const auto sources = makeSources("data", {40000});
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(sources, 0), 1, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  // Same size, other bytes: the image streams the new contents, and the disc no longer matches them.
  std::vector<char> bytes = readAll(sources / "file0.bin");
  bytes[30000] = static_cast<char>(bytes[30000] ^ 0x5A);
  std::ofstream(sources / "file0.bin", std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_NE(verify(), EMBERLINE_OK) << out_.text;
  EXPECT_NE(std::string(out_.text).find("file0.bin"), std::string::npos) << out_.text;
}

TEST_F(Verify, ImageFileTracksAreFoundWhereTheRecordingPutThem) {
  burnerWith("cd-r");
  const auto sources = makeSources("data", {60000, 20000});
  const auto iso = isoOf(treeOf(sources, 0), "planned.iso");
  const auto dataBlock = blockHolding(readAll(iso), sources / "file0.bin", 2048);
  ASSERT_TRUE(dataBlock.has_value());
  restartWith("cd-r,fault=corrupt@" + std::to_string(*dataBlock));
  auto burnFile = [&] {
    return Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                    &out_.failure, iso.c_str(), 1, 0, 1, 1, 5);
  };
  ASSERT_EQ(burnFile(), EMBERLINE_OK) << out_.text;
  expectFailure(verify(), *dataBlock, "planned.iso at byte " + std::to_string(*dataBlock * 2048 + 100), false);
  // A second session of the same file lies past the changed block: the TOC tells where it went.
  ASSERT_EQ(burnFile(), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(verify(), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(compared_, std::filesystem::file_size(iso) / 2048);
}

/// Cancels the verify from its second progress report.
struct CancelOnProgress {
  EmberlineHandle writer = nullptr;
  bool armed = false;
  int reports = 0;
  static void callback(uint32_t number, void* context, void*, void*) {
    auto* self = static_cast<CancelOnProgress*>(context);
    if (number == EMBERLINE_CALLBACK_PROGRESS && self->armed && ++self->reports == 2)
      Emberline_CdvdWriter_Cancel(self->writer);
  }
};

TEST_F(Verify, CancelEndsItAndAnotherVerifyRunsWhole) {
  startWith("dvd+r");
  CancelOnProgress cancel;
  ASSERT_EQ(Emberline_CdvdWriter_CreateEx(&writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure,
                                          &CancelOnProgress::callback, &cancel, "CdRom16", 0),
            EMBERLINE_OK)
      << out_.text;
  cancel.writer = writer_;
  const auto sources = makeSources("data", {3000000});
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(sources, 0), 1, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  cancel.armed = true;
  EXPECT_EQ(verify(), EMBERLINE_E_CANCELLED) << out_.text;
  cancel.armed = false;
  EXPECT_EQ(verify(), EMBERLINE_OK) << out_.text;
  EXPECT_GT(compared_, 3000000u / 2048);
}

// --- Video CD and Super Video CD ---------------------------------------------

enum class VideoFault { None, InfoFile, MpegForm2, Subheader, Unreadable };

struct VideoCase {
  const char* name;
  const char* file;
  bool super;
  VideoFault fault;
};

class VideoDiscVerify : public Verify, public ::testing::WithParamInterface<VideoCase> {};

TEST_P(VideoDiscVerify, PassesOrNamesTheFaultySector) {
  const VideoCase& c = GetParam();
  const std::string source = video_test::fixture(c.file);
  const auto kind = c.super ? video::VideoDiscKind::SuperVideoCd : video::VideoDiscKind::VideoCd;
  auto facts = video::checkMpegStream(source, kind);
  ASSERT_TRUE(facts.ok()) << facts.error().message;
  auto layout = video::planVcdDisc(*facts, "Album VideoCD", 1, 1);
  ASSERT_TRUE(layout.ok()) << layout.error().message;
  const std::uint32_t packSector = layout->firstPackLba() + 5;
  const video::VcdFileExtent& info = layout->files.front();

  std::string spec = "cd-r";
  std::uint32_t sector = packSector;
  std::string where = layout->mpegFile().path;
  switch (c.fault) {
    case VideoFault::None:
      break;
    case VideoFault::InfoFile:
      sector = info.lba;
      where = info.path + " at byte 100";
      spec += ",fault=corrupt@" + std::to_string(sector);
      break;
    case VideoFault::MpegForm2:
      spec += ",fault=corrupt@" + std::to_string(sector);
      break;
    case VideoFault::Subheader:
      spec += ",fault=corrupt-subheader@" + std::to_string(sector);
      break;
    case VideoFault::Unreadable:
      spec += ",fault=unreadable@" + std::to_string(sector);
      break;
  }
  burnerWith(spec);
  const auto call = c.super ? &Emberline_CdvdWriter_SuperVideoCD : &Emberline_CdvdWriter_VideoCD;
  ASSERT_EQ(call(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure, source.c_str(), "Album VideoCD",
                 1, 1, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  const uint8_t code = verify();
  if (c.fault == VideoFault::None) {
    EXPECT_EQ(code, EMBERLINE_OK) << out_.text;
    EXPECT_EQ(compared_, std::uint64_t{layout->leadOutLba}) << "every sector from LBA 0 to the lead-out";
    return;
  }
  expectFailure(code, sector, where, c.fault == VideoFault::Unreadable);
  if (c.fault == VideoFault::Subheader) {
    EXPECT_NE(std::string(out_.text).find("subheader"), std::string::npos);
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, VideoDiscVerify,
                         ::testing::Values(VideoCase{"VcdPasses", "vcd-pal.mpg", false, VideoFault::None},
                                           VideoCase{"SvcdPasses", "svcd-ntsc.mpg", true, VideoFault::None},
                                           VideoCase{"VcdInfoFile", "vcd-pal.mpg", false, VideoFault::InfoFile},
                                           VideoCase{"VcdMpegForm2", "vcd-pal.mpg", false, VideoFault::MpegForm2},
                                           VideoCase{"SvcdMpegForm2", "svcd-ntsc.mpg", true, VideoFault::MpegForm2},
                                           VideoCase{"VcdSubheader", "vcd-pal.mpg", false, VideoFault::Subheader},
                                           VideoCase{"SvcdSubheader", "svcd-ntsc.mpg", true, VideoFault::Subheader},
                                           VideoCase{"SvcdUnreadable", "svcd-ntsc.mpg", true, VideoFault::Unreadable}),
                         [](const auto& param) { return std::string(param.param.name); });

// --- DVD-Video -----------------------------------------------------------------

class DvdVideoVerify : public Verify, public ::testing::WithParamInterface<Fault> {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(folder_)) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
  }
  void TearDown() override {
    if (structure_ != nullptr) Emberline_DVDVideo_Destroy(structure_);
    structure_ = nullptr;
    Verify::TearDown();
  }
  EmberlineHandle treeOfFolder() {
    if (structure_ != nullptr) Emberline_DVDVideo_Destroy(structure_);
    EXPECT_EQ(Emberline_DVDVideo_Create(&structure_, folder_.c_str(), 1, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                        "Video", "Emberline", "Marrowick", 2025, 12, 9, 15, 20, 0, 0),
              EMBERLINE_OK)
        << out_.text;
    EmberlineHandle tree = nullptr;
    EXPECT_EQ(Emberline_DVDVideo_GetTreePointer(structure_, &tree), EMBERLINE_OK);
    return tree;
  }

  const std::filesystem::path folder_ = std::filesystem::path(ONDRELLE_DVD_FIXTURES_DIR) / "one-title" / "VIDEO_TS";
  EmberlineHandle structure_ = nullptr;
};

TEST_P(DvdVideoVerify, PassesOrNamesTheFaultySector) {
  const Fault fault = GetParam();
  burnerWith("dvd+r");
  const std::vector<char> iso = readAll(isoOf(treeOfFolder(), "planned.iso"));
  const auto vobBlock = blockHolding(iso, folder_ / "VTS_01_1.VOB", 3 * 2048);
  ASSERT_TRUE(vobBlock.has_value());
  std::string spec = "dvd+r";
  if (fault == Fault::CorruptData) spec += ",fault=corrupt@" + std::to_string(*vobBlock);
  if (fault == Fault::Unreadable) spec += ",fault=unreadable@" + std::to_string(*vobBlock);
  Emberline_DVDVideo_Destroy(structure_);
  structure_ = nullptr;
  restartWith(spec);
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOfFolder(), 1, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  const uint8_t code = verify();
  if (fault == Fault::None) {
    EXPECT_EQ(code, EMBERLINE_OK) << out_.text;
    EXPECT_EQ(compared_, iso.size() / 2048);
    return;
  }
  expectFailure(code, *vobBlock,
                "VTS_01_1.VOB at byte " + std::to_string(3 * 2048 + (fault == Fault::CorruptData ? 100 : 0)),
                fault == Fault::Unreadable);
}

INSTANTIATE_TEST_SUITE_P(Faults, DvdVideoVerify, ::testing::Values(Fault::None, Fault::CorruptData, Fault::Unreadable),
                         [](const auto& param) { return faultName(param.param); });

}  // namespace
}  // namespace emberline::test
