// End to end: an ISO 9660 image made by an independent tool, wrapped in our
// raw sectors, must read back through an independent CD image reader.

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "sector/cd_sector.h"
#include "support/shell_command.h"

namespace emberline::sector {
namespace {

namespace fs = std::filesystem;

using test_support::haveTool;

std::string run(const std::string& command) {
  return test_support::commandOutput(command, test_support::ErrorOutput::Kept);
}

class DiscImageReader : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!haveTool("xorriso")) GTEST_SKIP() << "xorriso not installed";
    dir_ = fs::path(ONDRELLE_TEST_BINARY_DIR) / ("sector-image-" + std::to_string(::getpid()) + "-" +
                                                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "content" / "SUBDIR");
    std::ofstream(dir_ / "content" / "HELLO.TXT") << "hello from the sector tests\n";
    std::ofstream(dir_ / "content" / "SUBDIR" / "DEEP.DAT") << std::string(10000, 'x');
    const std::string cmd = "xorriso -as mkisofs -V EMBERSECTOR -o '" + (dir_ / "x.iso").string() + "' '" +
                            (dir_ / "content").string() + "'";
    ASSERT_EQ(std::system((cmd + " >/dev/null 2>&1").c_str()), 0) << cmd;
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Wraps each 2048-byte block of the ISO in a raw sector at its LBA.
  template <class Encode>
  void writeBin(const std::string& trackType, Encode encode) {
    std::ifstream iso(dir_ / "x.iso", std::ios::binary);
    std::ofstream bin(dir_ / "x.bin", std::ios::binary);
    std::array<std::uint8_t, kUserDataSize> block{};
    std::array<std::uint8_t, kRawSectorSize> raw{};
    for (std::int32_t lba = 0;; ++lba) {
      block.fill(0);
      iso.read(reinterpret_cast<char*>(block.data()), block.size());
      if (iso.gcount() == 0) break;
      encode(lba, block, raw);
      bin.write(reinterpret_cast<const char*>(raw.data()), raw.size());
    }
    std::ofstream(dir_ / "x.cue") << "FILE \"x.bin\" BINARY\n  TRACK 01 " << trackType << "\n    INDEX 01 00:00:00\n";
  }

  std::string cue() const { return "'" + (dir_ / "x.cue").string() + "'"; }

  fs::path dir_;
};

// cd-info reads a raw BIN/CUE image through its own sector layer; iso-info
// only opens plain 2048-byte images, so it cannot take part here.
void expectListing(const std::string& info, const std::string& discMode, const std::string& trackType) {
  EXPECT_NE(info.find("Disc mode is listed as: " + discMode), std::string::npos) << info;
  EXPECT_NE(info.find("000000 " + trackType), std::string::npos) << info;
  EXPECT_NE(info.find("Volume     : EMBERSECTOR"), std::string::npos) << info;
  EXPECT_NE(info.find("HELLO.TXT"), std::string::npos) << info;
  EXPECT_NE(info.find("DEEP.DAT"), std::string::npos) << info;
}

TEST_F(DiscImageReader, Mode1BinListsTheFilesAndVolumeId) {
  if (!haveTool("cd-info")) GTEST_SKIP() << "cd-info (libcdio-utils) not installed";
  writeBin("MODE1/2352", [](std::int32_t lba, auto& block, auto& raw) { encodeMode1(lba, block, raw); });
  expectListing(run("cd-info --no-header --no-device-info --cue-file " + cue() + " --iso9660"), "CD-DATA (Mode 1)",
                "data");
}

TEST_F(DiscImageReader, Mode2Form1BinIsReadAsXaTrackWithTheVolumeId) {
  if (!haveTool("cd-info")) GTEST_SKIP() << "cd-info (libcdio-utils) not installed";
  writeBin("MODE2/2352", [](std::int32_t lba, auto& block, auto& raw) {
    encodeMode2Form1(lba, Subheader{0, 0, submode::kData, 0}, block, raw);
  });
  expectListing(run("cd-info --no-header --no-device-info --cue-file " + cue() + " --iso9660"), "CD DATA (Mode 2)",
                "XA");
}

TEST_F(DiscImageReader, Mode1BinDecodesBackToTheIsoImage) {
  writeBin("MODE1/2352", [](std::int32_t lba, auto& block, auto& raw) { encodeMode1(lba, block, raw); });
  std::ifstream iso(dir_ / "x.iso", std::ios::binary);
  std::ifstream bin(dir_ / "x.bin", std::ios::binary);
  std::array<std::uint8_t, kUserDataSize> expected{}, decoded{};
  std::array<std::uint8_t, kRawSectorSize> raw{};
  std::int32_t lba = 0;
  while (bin.read(reinterpret_cast<char*>(raw.data()), raw.size())) {
    expected.fill(0);
    iso.read(reinterpret_cast<char*>(expected.data()), expected.size());
    ASSERT_TRUE(decodeMode1(raw, decoded)) << "lba " << lba;
    ASSERT_EQ(decoded, expected) << "lba " << lba;
    ASSERT_EQ(inspect(raw).lba, lba);
    ++lba;
  }
  EXPECT_GT(lba, 16);
}

}  // namespace
}  // namespace emberline::sector
