// The DVD-Video bridge image of each fixture folder, read back by isoinfo,
// udfinfo, 7z, lsdvd and dvdbackup, and compared with genisoimage's layout.

#include <map>
#include <regex>
#include <sstream>

#include "dvd_test_support.h"
#include "udf_listing.h"
#include "video/dvd_bridge_image.h"

namespace dvd_test {
namespace {

using emberline::video::buildDvdBridgeImage;
using emberline::video::checkDvdFolder;
using emberline::video::DvdBridgeImage;
using emberline::video::DvdFile;
using emberline::video::DvdVolumeText;

constexpr std::time_t kCreated = 1765290000;  // 2025-12-09 14:20:00 UTC
const char* const kGoodFixtures[] = {"one-title", "two-titlesets"};

struct BuiltImage {
  fs::path path;
  DvdBridgeImage built;
};

BuiltImage buildTo(const fs::path& source, const fs::path& path, bool audioTs = true) {
  BuiltImage result{path, {}};
  auto folder = checkDvdFolder(source.string());
  EXPECT_TRUE(folder.ok()) << folder.error().message;
  if (!folder.ok()) return result;
  emberline::image::FileTree tree(nullptr);
  auto built =
      buildDvdBridgeImage(*folder, audioTs, DvdVolumeText{"HOLIDAY", "Emberline", "Marrowick", kCreated}, tree);
  EXPECT_TRUE(built.ok()) << built.error().message;
  if (!built.ok()) return result;
  std::ofstream out(path, std::ios::binary);
  std::vector<std::uint8_t> buffer(256 * 1024);
  for (std::uint64_t left = built->image->size(); left > 0;) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
    EXPECT_TRUE(built->image->read(std::span(buffer).first(count)).ok());
    out.write(reinterpret_cast<const char*>(buffer.data()), static_cast<std::streamsize>(count));
    left -= count;
  }
  result.built = std::move(*built);
  return result;
}

class BridgeImage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
  }
  TempFolder temp;
};

TEST_F(BridgeImage, BothFileSystemsPointAtTheSameSectorsWhereTheIfosAndGenisoimagePutThem) {
  if (!haveTool("isoinfo") || !haveTool("genisoimage")) GTEST_SKIP() << "isoinfo or genisoimage missing";
  for (const char* name : kGoodFixtures) {
    SCOPED_TRACE(name);
    const BuiltImage image = buildTo(fixtures() / name, temp.path() / (std::string(name) + ".iso"));
    ASSERT_TRUE(image.built.image);
    EXPECT_EQ(fs::file_size(image.path), image.built.image->size()) << "the size is known before writing";
    const auto iso = isoSectors(image.path);
    const auto udf = UdfListing::of(image.path.string());
    ASSERT_TRUE(udf.contains("AUDIO_TS") && udf.at("AUDIO_TS").folder);
    ASSERT_TRUE(udf.contains("VIDEO_TS") && udf.at("VIDEO_TS").folder);
    EXPECT_EQ(udf.size(), iso.size() + 2);

    const fs::path theirs = temp.path() / (std::string(name) + "-genisoimage.iso");
    run("genisoimage -quiet -dvd-video -udf -o '" + theirs.string() + "' '" + (fixtures() / name).string() + "'");
    const auto genisoimage = isoSectors(theirs);
    ASSERT_EQ(genisoimage.size(), iso.size());

    auto folder = checkDvdFolder((fixtures() / name).string());
    ASSERT_TRUE(folder.ok());
    const std::uint32_t first = iso.at("VIDEO_TS.IFO");
    for (const DvdFile& file : folder->files) {
      SCOPED_TRACE(file.name);
      ASSERT_TRUE(iso.contains(file.name));
      ASSERT_TRUE(udf.contains("VIDEO_TS/" + file.name));
      const UdfFileAt& entry = udf.at("VIDEO_TS/" + file.name);
      EXPECT_EQ(entry.bytes, file.bytes);
      if (file.bytes > 0) {
        EXPECT_EQ(entry.block, iso.at(file.name));
      }
      EXPECT_EQ(iso.at(file.name) - first, file.sector) << "where the IFOs place it";
      EXPECT_EQ(iso.at(file.name) - first, genisoimage.at(file.name) - genisoimage.at("VIDEO_TS.IFO"));
      // Each file whole, in one piece, at that sector.
      std::ifstream in(image.path, std::ios::binary);
      in.seekg(static_cast<std::streamoff>(std::uint64_t{iso.at(file.name)} * 2048));
      std::vector<std::uint8_t> data(file.bytes);
      in.read(reinterpret_cast<char*>(data.data()), static_cast<std::streamsize>(data.size()));
      EXPECT_TRUE(data == readBytes(file.source));
    }
  }
}

TEST_F(BridgeImage, DvdReadersSeeTheSameDiscAsInTheFolder) {
  if (!haveTool("lsdvd") || !haveTool("dvdbackup")) GTEST_SKIP() << "lsdvd or dvdbackup missing";
  for (const char* name : kGoodFixtures) {
    SCOPED_TRACE(name);
    const BuiltImage image = buildTo(fixtures() / name, temp.path() / (std::string(name) + ".iso"));
    const std::string fromFolder = titles(run("lsdvd -x '" + (fixtures() / name).string() + "'"));
    EXPECT_FALSE(fromFolder.empty());
    EXPECT_EQ(titles(run("lsdvd -x '" + image.path.string() + "'")), fromFolder);
    EXPECT_NE(run("lsdvd '" + image.path.string() + "'").find("Disc Title: HOLIDAY"), std::string::npos);

    const fs::path out = temp.path() / (std::string(name) + "-backup");
    run("dvdbackup -M -n COPY -i '" + image.path.string() + "' -o '" + out.string() + "'");
    std::size_t count = 0;
    for (const auto& entry : fs::directory_iterator(fixtures() / name / "VIDEO_TS")) {
      ++count;
      EXPECT_TRUE(readBytes(entry.path()) == readBytes(out / "COPY" / "VIDEO_TS" / entry.path().filename()))
          << entry.path();
    }
    EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(out / "COPY" / "VIDEO_TS"), {})), count);
  }
}

TEST_F(BridgeImage, LabelPublisherApplicationAndTimeInBothFileSystems) {
  if (!haveTool("isoinfo") || !haveTool("udfinfo")) GTEST_SKIP() << "isoinfo or udfinfo missing";
  const BuiltImage image = buildTo(fixtures() / "one-title", temp.path() / "one.iso");
  const std::string iso = run("isoinfo -d -i '" + image.path.string() + "'");
  EXPECT_NE(iso.find("Volume id: HOLIDAY"), std::string::npos) << iso;
  EXPECT_NE(iso.find("Publisher id: EMBERLINE"), std::string::npos) << iso;
  EXPECT_NE(iso.find("Application id: MARROWICK"), std::string::npos) << iso;
  EXPECT_NE(iso.find("NO Joliet present"), std::string::npos) << iso;
  EXPECT_NE(iso.find("Volume size is: " + std::to_string(fs::file_size(image.path) / 2048)), std::string::npos);
  // Creation and modification dates of the primary volume descriptor, in UTC.
  std::ifstream in(image.path, std::ios::binary);
  in.seekg(16 * 2048 + 813);
  std::string dates(34, '\0');
  in.read(dates.data(), 34);
  EXPECT_EQ(dates.substr(0, 14), "20251209142000");
  EXPECT_EQ(dates.substr(17, 14), "20251209142000");
  // Every record carries the volume's time, not the files' own.
  const std::string listing = run("isoinfo -l -i '" + image.path.string() + "'");
  EXPECT_NE(listing.find("Dec  9 2025 ["), std::string::npos) << listing;
  EXPECT_EQ(listing.find(" 2026 ["), std::string::npos) << listing;

  const std::string udf = run("udfinfo '" + image.path.string() + "' 2>&1");
  for (const char* expected : {"label=HOLIDAY", "owner=Emberline", "appid=Marrowick", "udfrev=1.02", "numfiles=5",
                               "numdirs=3", "integrity=closed", "start=256, blocks=1, type=ANCHOR"})
    EXPECT_NE(udf.find(expected), std::string::npos) << expected << "\n" << udf;
  EXPECT_EQ(udf.find("arning"), std::string::npos) << udf;
  if (haveTool("7z")) {
    const std::string sevenZip = run("TZ=UTC 7z l -slt -tudf '" + image.path.string() + "'");
    EXPECT_NE(sevenZip.find("Created = 2025-12-09 14:20:00"), std::string::npos) << sevenZip;
    EXPECT_NE(sevenZip.find("Path = VIDEO_TS/VTS_01_1.VOB\nFolder = -"), std::string::npos) << sevenZip;
  }
}

TEST_F(BridgeImage, LayerBreakCandidatesAreTheTitleCellStarts) {
  const BuiltImage image = buildTo(fixtures() / "two-titlesets", temp.path() / "two.iso");
  ASSERT_TRUE(image.built.image);
  const auto& cells = image.built.plan.cellStarts;
  ASSERT_GE(cells.size(), 3u);  // two cells in the first title, one in the second
  EXPECT_TRUE(std::is_sorted(cells.begin(), cells.end()));
  std::map<std::string, const DvdFile*> byName;
  for (const DvdFile& file : image.built.plan.files) byName[file.name] = &file;
  EXPECT_EQ(cells.front(), byName.at("VTS_01_1.VOB")->sector);
  EXPECT_NE(std::find(cells.begin(), cells.end(), byName.at("VTS_02_1.VOB")->sector), cells.end());
  std::ifstream in(image.path, std::ios::binary);
  for (std::uint32_t cell : cells) {
    SCOPED_TRACE(cell);
    // Inside a title VOB, never a menu VOB or an information file.
    const auto holder =
        std::find_if(image.built.plan.files.begin(), image.built.plan.files.end(),
                     [&](const DvdFile& f) { return cell >= f.sector && cell < f.sector + (f.bytes + 2047) / 2048; });
    ASSERT_NE(holder, image.built.plan.files.end());
    EXPECT_TRUE(std::regex_match(holder->name, std::regex(R"(VTS_\d\d_[1-9]\.VOB)"))) << holder->name;
    // A cell starts with a navigation pack: a pack header, then the system header.
    std::vector<std::uint8_t> sector(2048);
    in.seekg(static_cast<std::streamoff>(std::uint64_t{cell} * 2048));
    in.read(reinterpret_cast<char*>(sector.data()), 2048);
    EXPECT_EQ(std::vector<std::uint8_t>(sector.begin(), sector.begin() + 4),
              (std::vector<std::uint8_t>{0, 0, 1, 0xBA}));
    const std::size_t system = 14 + (sector[13] & 7);
    EXPECT_EQ(std::vector<std::uint8_t>(sector.begin() + system, sector.begin() + system + 4),
              (std::vector<std::uint8_t>{0, 0, 1, 0xBB}));
  }
}

TEST_F(BridgeImage, WithoutAudioTsOnlyVideoTsIsAtTheRoot) {
  const BuiltImage image = buildTo(fixtures() / "one-title", temp.path() / "one.iso", false);
  const auto udf = UdfListing::of(image.path.string());
  EXPECT_FALSE(udf.contains("AUDIO_TS"));
  EXPECT_TRUE(udf.contains("VIDEO_TS/VTS_01_1.VOB"));
}

TEST_F(BridgeImage, LowerCaseNamesAreWrittenInUpperCase) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  const fs::path copy = temp.path() / "lower" / "video_ts";
  fs::create_directories(copy);
  std::size_t count = 0;
  for (const auto& entry : fs::directory_iterator(fixtures() / "one-title" / "VIDEO_TS")) {
    std::string name = entry.path().filename().string();
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    fs::copy_file(entry.path(), copy / name);
    ++count;
  }
  const BuiltImage image = buildTo(temp.path() / "lower", temp.path() / "lower.iso");
  ASSERT_TRUE(image.built.image);
  const auto iso = isoSectors(image.path);
  const auto udf = UdfListing::of(image.path.string());
  EXPECT_EQ(iso.size(), count);
  for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB", "VTS_01_0.BUP"}) {
    EXPECT_TRUE(iso.contains(name)) << name;
    EXPECT_TRUE(udf.contains(std::string("VIDEO_TS/") + name)) << name;
  }
}

TEST_F(BridgeImage, AFileThatChangedSinceTheCheckIsRefused) {
  const fs::path copy = temp.path() / "copy";
  fs::copy(fixtures() / "one-title", copy, fs::copy_options::recursive);
  auto folder = checkDvdFolder(copy.string());
  ASSERT_TRUE(folder.ok());
  std::ofstream(copy / "VIDEO_TS" / "VTS_01_1.VOB", std::ios::app | std::ios::binary) << std::string(2048, 'x');
  emberline::image::FileTree tree(nullptr);
  auto built = buildDvdBridgeImage(*folder, true, DvdVolumeText{"X", "", "", kCreated}, tree);
  ASSERT_FALSE(built.ok());
  EXPECT_NE(built.error().message.find("VTS_01_1.VOB changed while the DVD-Video folder was being read"),
            std::string::npos)
      << built.error().message;
}

}  // namespace
}  // namespace dvd_test
