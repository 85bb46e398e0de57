// Reading burned discs back: every kind and write mode on the virtual
// writers passes a verify, and a block the writer recorded wrongly or cannot
// read back fails it, naming the sector and the file that lies there.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <random>

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

/// Where the directory record named @p identifier in the directory at @p directory points.
std::optional<std::uint32_t> recordExtent(const std::vector<char>& iso, std::uint32_t directory,
                                          const std::string& identifier) {
  const std::size_t start = std::size_t{directory} * 2048;
  for (std::size_t at = start; at < start + 2048 && at < iso.size() && iso[at] != 0;
       at += static_cast<std::uint8_t>(iso[at])) {
    const auto length = static_cast<std::uint8_t>(iso[at + 32]);
    if (std::string(iso.data() + at + 33, length) != identifier) continue;
    std::uint32_t extent = 0;
    std::memcpy(&extent, iso.data() + at + 2, 4);
    return extent;
  }
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
  // The third block of a file in a subfolder, and that folder's ISO 9660 directory (found from the root's,
  // whose extent the primary volume descriptor gives).
  const auto dataBlock = blockHolding(iso, sources / "inner" / "file1.bin", 2 * 2048);
  ASSERT_TRUE(dataBlock.has_value());
  std::uint32_t rootDirectory = 0;
  std::memcpy(&rootDirectory, iso.data() + 16 * 2048 + 158, 4);
  const auto dataDirectory = recordExtent(iso, rootDirectory, "DATA");
  ASSERT_TRUE(dataDirectory.has_value());
  const auto innerDirectory = recordExtent(iso, *dataDirectory, "INNER");
  ASSERT_TRUE(innerDirectory.has_value());

  std::string spec = c.medium;
  if (fault == Fault::CorruptData) spec += ",fault=corrupt@" + std::to_string(*dataBlock);
  if (fault == Fault::CorruptDirectory) spec += ",fault=corrupt@" + std::to_string(*innerDirectory);
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
      // The writer changes byte 100 of the block: the message points at it in the file, by its path on the disc.
      expectFailure(code, *dataBlock, "in file /data/inner/file1.bin at byte " + std::to_string(2 * 2048 + 100), false);
      break;
    case Fault::CorruptDirectory:
      expectFailure(code, *innerDirectory, "in the directory /data/inner at byte 100", false);
      break;
    case Fault::Unreadable:
      expectFailure(code, *dataBlock, "in file /data/inner/file1.bin at byte " + std::to_string(2 * 2048), true);
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
  // A second session of the same file lies past the changed block: the track information tells where it went.
  closeSession();
  ASSERT_EQ(burnFile(), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(verify(), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(compared_, std::filesystem::file_size(iso) / 2048);
}

/// A file of @p blocks 2048-byte blocks of random bytes fixed by @p seed.
std::filesystem::path blockFile(const std::filesystem::path& path, std::size_t blocks, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<char> bytes(blocks * 2048);
  for (char& b : bytes) b = static_cast<char>(random());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

TEST_F(Verify, EveryTrackOfASessionWrittenTrackByTrackIsRead) {
  // Three track at once recordings into one open session, as a burn of several image files makes them;
  // the first track has a block recorded wrongly.
  burnerWith("cd-r,fault=corrupt@40");
  const auto first = blockFile(scratch() / "one.img", 320, 1);
  const auto second = blockFile(scratch() / "two.img", 310, 2);
  const auto third = blockFile(scratch() / "three.img", 305, 3);
  for (const auto& file : {first, second, third})
    ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                       &out_.failure, file.c_str(), 1, 0, 1, 1, 5),
              EMBERLINE_OK)
        << out_.text;
  expectFailure(verify(), 40, "in file " + first.string() + " at byte " + std::to_string(40 * 2048 + 100), false);
  EXPECT_EQ(discInformation()[1] & 3, 1) << "the session is still open";

  // Once the session is closed, the next recording starts a disc's worth of its own.
  closeSession();
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, second.c_str(), 1, 0, 1, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  EXPECT_EQ(verify(), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(compared_, 310u);
}

TEST_F(Verify, EveryTrackPassesWhenNoneDiffers) {
  burnerWith("cd-r");
  const auto first = blockFile(scratch() / "one.img", 320, 1);
  const auto second = blockFile(scratch() / "two.img", 310, 2);
  for (const auto& file : {first, second})
    ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromFile(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                       &out_.failure, file.c_str(), 1, 0, 1, 1, 5),
              EMBERLINE_OK)
        << out_.text;
  EXPECT_EQ(verify(), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(compared_, 630u) << "both tracks";
}

/// A tree of @p folder built at 0 with the creation time @p created.
EmberlineHandle datedTree(const std::filesystem::path& folder, int64_t created, CallOutputs& out) {
  EmberlineHandle tree = nullptr;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_Create(&tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, nullptr, nullptr),
            EMBERLINE_OK);
  EXPECT_EQ(
      Emberline_ISO9660JolietFileTree_AddFolder(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, "/", folder.c_str()),
      EMBERLINE_OK)
      << out.text;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_SetCreationTime(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, created),
            EMBERLINE_OK)
      << out.text;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_BuildImage(tree, out.text, EMBERLINE_TEXT_SIZE, &out.status, 0, 0, 1,
                                                       "WRITE_TEST", "TEST", "TEST"),
            EMBERLINE_OK)
      << out.text;
  return tree;
}

TEST_F(Verify, ADiscIsComparedWithItsSourcesBuiltAgainWithItsDate) {
  burnerWith("cd-r");
  const auto sources = makeSources("data", {90000, 50000});
  ASSERT_EQ(Emberline_CdvdWriter_TrackAtOnceFromTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                     &out_.failure, treeOf(sources, 0), 1, 0, 0, 1, 5),
            EMBERLINE_OK)
      << out_.text;
  closeSession();
  int64_t created = 0;
  ASSERT_EQ(Emberline_CdvdWriter_GetVolumeCreationTime(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                       &out_.failure, &created),
            EMBERLINE_OK)
      << out_.text;
  EXPECT_LE(std::abs(created - static_cast<int64_t>(std::time(nullptr))), 600) << "the burn's own time";

  auto verifyTree = [&](EmberlineHandle tree) {
    compared_ = 0;
    const uint8_t code = Emberline_CdvdWriter_VerifyTree(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status,
                                                         &out_.failure, tree, &compared_);
    trees_.push_back(tree);
    return code;
  };
  CallOutputs out;
  EXPECT_EQ(verifyTree(datedTree(sources, created, out)), EMBERLINE_OK) << out_.text;
  EXPECT_GT(compared_, 140000u / 2048);

  // Another date is another volume descriptor.
  EXPECT_EQ(verifyTree(datedTree(sources, created - 3600, out)), EMBERLINE_E_VERIFY_MISMATCH);
  EXPECT_NE(std::string(out_.text).find("sector 16, in the volume descriptors"), std::string::npos) << out_.text;

  // A source changed since: named by its path on the disc.
  std::vector<char> bytes = readAll(sources / "inner" / "file1.bin");
  bytes[5000] = static_cast<char>(bytes[5000] ^ 0x5A);
  std::ofstream(sources / "inner" / "file1.bin", std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_EQ(verifyTree(datedTree(sources, created, out)), EMBERLINE_E_VERIFY_MISMATCH);
  EXPECT_NE(std::string(out_.text).find("in file /data/inner/file1.bin at byte 5000"), std::string::npos) << out_.text;
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
  std::string where = "in file /" + layout->mpegFile().path;
  switch (c.fault) {
    case VideoFault::None:
      break;
    case VideoFault::InfoFile:
      sector = info.lba;
      where = "in file /" + info.path + " at byte 100";
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
  std::uint32_t rootDirectory = 0;
  std::memcpy(&rootDirectory, iso.data() + 16 * 2048 + 158, 4);
  const auto videoTs = recordExtent(iso, rootDirectory, "VIDEO_TS");
  ASSERT_TRUE(videoTs.has_value());
  std::string spec = "dvd+r";
  if (fault == Fault::CorruptData) spec += ",fault=corrupt@" + std::to_string(*vobBlock);
  if (fault == Fault::CorruptDirectory) spec += ",fault=corrupt@" + std::to_string(*videoTs);
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
  if (fault == Fault::CorruptDirectory) {
    expectFailure(code, *videoTs, "in the directory /VIDEO_TS at byte 100", false);
    return;
  }
  expectFailure(
      code, *vobBlock,
      "in file /VIDEO_TS/VTS_01_1.VOB at byte " + std::to_string(3 * 2048 + (fault == Fault::CorruptData ? 100 : 0)),
      fault == Fault::Unreadable);
}

INSTANTIATE_TEST_SUITE_P(Faults, DvdVideoVerify,
                         ::testing::Values(Fault::None, Fault::CorruptData, Fault::CorruptDirectory, Fault::Unreadable),
                         [](const auto& param) { return faultName(param.param); });

}  // namespace
}  // namespace emberline::test
