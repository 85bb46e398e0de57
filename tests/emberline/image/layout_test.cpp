// Layout rules: later sessions, El Torito, depth, and sources that cannot be trusted.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "image_fixture.h"

namespace image_test {
namespace {

using Layout = ImageTest;

uint8_t addFolder(EmberlineHandle tree, char* text, uint32_t* status, const fs::path& folder) {
  return Emberline_ISO9660JolietFileTree_AddFolder(tree, text, EMBERLINE_TEXT_SIZE, status, "/", folder.c_str());
}

TEST_F(Layout, LaterSessionRecordsAbsoluteAddresses) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "s/file.txt", "session two\n");
  ASSERT_EQ(addFolder(tree, text, &status, source / "s"), EMBERLINE_OK) << text;
  ASSERT_EQ(build(20000), EMBERLINE_OK) << text;
  // Once as the session alone, once behind 20000 empty sectors as on the disc.
  const fs::path iso = dir / "late.iso";
  ASSERT_EQ(streamTo(iso), EMBERLINE_OK) << text;
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SeekToBegin(tree, text, sizeof text, &status), EMBERLINE_OK);
  const fs::path disc = dir / "disc.iso";
  ASSERT_EQ(streamTo(disc, 20000), EMBERLINE_OK) << text;
  const std::string onDisc = run("isoinfo -J -x /s/file.txt -i " + quoted(disc) + " -T 20000");
  EXPECT_EQ(onDisc, "session two\n");
  const std::string info = run("isoinfo -d -i " + quoted(iso) + " -N 20000");
  EXPECT_NE(info.find("Volume size is: " + std::to_string(20000 + imageSize() / 2048)), std::string::npos) << info;
  const std::string listing = run("isoinfo -J -l -i " + quoted(iso) + " -N 20000");
  for (std::size_t at = listing.find("[ "); at != std::string::npos; at = listing.find("[ ", at + 1))
    EXPECT_GE(std::stoul(listing.substr(at + 1)), 20000u) << listing;
  EXPECT_EQ(run("isoinfo -J -x /s/file.txt -i " + quoted(iso) + " -N 20000"), "session two\n");
}

TEST_F(Layout, ElToritoBootIsRecorded) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "boot.img", std::string(4096, 'B'));
  writeFile(source / "t/x.txt", "x");
  ASSERT_EQ(addFolder(tree, text, &status, source / "t"), EMBERLINE_OK);
  ASSERT_EQ(Emberline_ISO9660JolietFileTree_SetBootImage(tree, (source / "boot.img").c_str(), 4, 0, 1, 0, text,
                                                         sizeof text, &status),
            EMBERLINE_OK)
      << text;
  ASSERT_EQ(build(), EMBERLINE_OK) << text;
  const fs::path iso = dir / "boot.iso";
  ASSERT_EQ(streamTo(iso), EMBERLINE_OK);
  const std::string info = run("isoinfo -d -i " + quoted(iso));
  EXPECT_NE(info.find("El Torito VD version 1 found"), std::string::npos) << info;
  EXPECT_NE(info.find("Bootid 88 (bootable)"), std::string::npos) << info;
  EXPECT_NE(info.find("No Emulation Boot"), std::string::npos) << info;
  EXPECT_NE(info.find("Nsect 4"), std::string::npos) << info;
  EXPECT_NE(run("isoinfo -l -i " + quoted(iso)).find("BOOT.CAT;1"), std::string::npos);
  // The catalogue's validation entry sums to zero in 16-bit little-endian words.
  const std::string image = readFile(iso);
  const auto catalog =
      static_cast<unsigned char>(image[17 * 2048 + 0x47]) | static_cast<unsigned char>(image[17 * 2048 + 0x48]) << 8;
  unsigned sum = 0;
  for (int i = 0; i < 32; i += 2)
    sum += static_cast<unsigned char>(image[catalog * 2048 + i]) |
           static_cast<unsigned char>(image[catalog * 2048 + i + 1]) << 8;
  EXPECT_EQ(sum & 0xFFFF, 0u);
}

TEST_F(Layout, FloppyEmulationNeedsTheExactSize) {
  writeFile(source / "floppy.img", std::string(1000, 'F'));
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_SetBootImage(tree, (source / "floppy.img").c_str(), 0, 2, 1, 0, text,
                                                         sizeof text, &status),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(text).find("1474560"), std::string::npos) << text;
}

// A boot image that is a FIFO nobody writes to, or a device, is refused at
// once rather than waited on.
TEST_F(Layout, BootImageThatIsNoFileIsRefusedWithoutWaiting) {
  const fs::path fifo = source / "boot.fifo";
  fs::create_directories(source);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const fs::path& path : {fifo, fs::path("/dev/zero")}) {
    auto future = std::async(std::launch::async, [&] {
      return Emberline_ISO9660JolietFileTree_SetBootImage(tree, path.c_str(), 4, 0, 1, 0, text, sizeof text, &status);
    });
    if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // A writer lets the blocked open go, so the test ends rather than hangs.
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
      ADD_FAILURE() << path << " blocked the call";
    }
    EXPECT_EQ(future.get(), EMBERLINE_E_FILE) << path;
    EXPECT_NE(std::string(text).find("is not a regular file"), std::string::npos) << text;
  }
}

TEST_F(Layout, TooDeepFolderIsRefusedByName) {
  writeFile(source / "d/1/2/3/4/5/6/7/8/x.txt", "x");
  ASSERT_EQ(addFolder(tree, text, &status, source / "d"), EMBERLINE_OK);
  EXPECT_EQ(build(), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_NE(std::string(text).find("/d/1/2/3/4/5/6/7"), std::string::npos) << text;
}

TEST_F(Layout, UnreadableSourceIsRefusedWhenAdded) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads everything";
  writeFile(source / "p/secret.txt", "s");
  fs::permissions(source / "p/secret.txt", fs::perms::none);
  EXPECT_EQ(addFolder(tree, text, &status, source / "p"), EMBERLINE_E_FILE);
  EXPECT_NE(std::string(text).find("secret.txt"), std::string::npos) << text;
  EXPECT_TRUE(reports.added.empty());
}

TEST_F(Layout, MissingSourceIsRefusedWhenAdded) {
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_AddFile(tree, text, sizeof text, &status, "/",
                                                    (source / "gone.txt").c_str(), nullptr),
            EMBERLINE_E_FILE);
  EXPECT_NE(std::string(text).find("gone.txt"), std::string::npos) << text;
}

TEST_F(Layout, SourceThatChangedSizeFailsTheRead) {
  writeFile(source / "c/grow.txt", std::string(3000, 'g'));
  ASSERT_EQ(addFolder(tree, text, &status, source / "c"), EMBERLINE_OK);
  ASSERT_EQ(build(), EMBERLINE_OK);
  writeFile(source / "c/grow.txt", std::string(10, 'g'));
  EXPECT_EQ(streamTo(dir / "bad.iso"), EMBERLINE_E_FILE);
  EXPECT_NE(std::string(text).find("changed size"), std::string::npos) << text;
}

TEST_F(Layout, ReadBeforeBuildFails) {
  uint8_t byte = 0;
  EXPECT_EQ(Emberline_ISO9660JolietFileTree_Read(tree, text, sizeof text, &status, 1, &byte),
            EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_EQ(imageSize(), 0u);
}

TEST_F(Layout, LevelOneNamesAreEightDotThree) {
  if (!haveTool("isoinfo")) GTEST_SKIP() << "isoinfo missing";
  writeFile(source / "l/longer file name.text", "1");
  writeFile(source / "l/longer file other.text", "2");
  ASSERT_EQ(addFolder(tree, text, &status, source / "l"), EMBERLINE_OK);
  ASSERT_EQ(build(0, 1), EMBERLINE_OK) << text;
  ASSERT_EQ(streamTo(dir / "l1.iso"), EMBERLINE_OK);
  const std::string listing = run("isoinfo -l -i " + quoted(dir / "l1.iso"));
  EXPECT_NE(listing.find("LONGER_F.TEX;1"), std::string::npos) << listing;
  EXPECT_NE(listing.find("LONGER_1.TEX;1"), std::string::npos) << listing;
}

class LargeFiles : public ImageTest {
 protected:
  bool makeSparse(const fs::path& path, std::uint64_t bytes) {
    writeFile(path, "head");
    return ::truncate(path.c_str(), static_cast<off_t>(bytes)) == 0;
  }
};

TEST_F(LargeFiles, FiveGigabyteFileSpansSeveralExtents) {
  if (!haveTool("xorriso")) GTEST_SKIP() << "xorriso missing";
  const std::uint64_t size = 5ull << 30;
  if (fs::space(dir).available < 2 * size) GTEST_SKIP() << "no room for a 5 GiB image";
  ASSERT_TRUE(makeSparse(source / "big/huge.bin", size));
  ASSERT_EQ(addFolder(tree, text, &status, source / "big"), EMBERLINE_OK);
  EXPECT_EQ(build(0, 2), EMBERLINE_E_INVALID_ARGUMENT);  // level 2 cannot hold it
  EXPECT_NE(std::string(text).find("huge.bin"), std::string::npos) << text;
  ASSERT_EQ(build(), EMBERLINE_OK) << text;
  const fs::path iso = dir / "huge.iso";
  ASSERT_EQ(streamTo(iso), EMBERLINE_OK) << text;
  const std::string listing = run("xorriso -joliet on -indev " + quoted(iso) + " -lsl /big");
  EXPECT_NE(listing.find(std::to_string(size)), std::string::npos) << listing;
}

TEST_F(LargeFiles, StreamingKeepsMemoryFlat) {
  ASSERT_TRUE(makeSparse(source / "mem/two.bin", 2ull << 30));
  ASSERT_EQ(addFolder(tree, text, &status, source / "mem"), EMBERLINE_OK);
  ASSERT_EQ(build(), EMBERLINE_OK) << text;
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  std::vector<uint8_t> buffer(1 << 20);
  for (std::uint64_t left = imageSize(); left > 0;) {
    const auto count = static_cast<uint32_t>(std::min<std::uint64_t>(left, buffer.size()));
    ASSERT_EQ(Emberline_ISO9660JolietFileTree_Read(tree, text, sizeof text, &status, count, buffer.data()),
              EMBERLINE_OK);
    left -= count;
  }
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 64 * 1024);  // kilobytes
}

}  // namespace
}  // namespace image_test
