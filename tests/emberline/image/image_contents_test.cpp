// The image's runs keep their sources' paths packed (a folder shared by the
// files added one after another): every run must still read its own file.

#include "image/image_contents.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/image_stream.h"

namespace {

namespace fs = std::filesystem;
using emberline::image::ImageContents;
using emberline::image::ImageStream;
using emberline::image::kBlockSize;

std::string write(const fs::path& path, char fill, std::size_t bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(bytes, fill);
  return path.string();
}

TEST(ImageContents, EveryRunReadsItsOwnSourceWhateverTheShapeOfItsPath) {
  const fs::path dir = fs::temp_directory_path() / ("contents-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  // One name in the current folder, with no folder in its path at all.
  const std::string bare = "contents-bare-" + std::to_string(::getpid());
  write(fs::current_path() / bare, 'r', 10);

  struct Run {
    std::string path;
    char fill;
    std::size_t bytes;
  };
  std::vector<Run> runs;
  const auto addRun = [&](const std::string& path, char fill, std::size_t bytes) {
    runs.push_back(Run{path, fill, bytes});
  };
  addRun(write(dir / "one" / "a.bin", 'a', 100), 'a', 100);
  addRun(write(dir / "one" / "b.bin", 'b', 3000), 'b', 3000);
  addRun(write(dir / "two" / "c.bin", 'c', 1), 'c', 1);
  addRun(write(dir / "one" / "d.bin", 'd', 2048), 'd', 2048);  // back to a folder seen before
  addRun(write(dir / "e.bin", 'e', 7), 'e', 7);
  addRun(bare, 'r', 10);
  addRun(write(dir / "two" / "f.bin", 'f', 5), 'f', 5);

  ImageContents contents;
  contents.addBytes(std::vector<std::uint8_t>(10, 0x11));
  for (const Run& run : runs) contents.addFile(run.path, run.bytes);
  contents.moveTo(contents.nextBlock() + 2);  // a gap, read as zeros
  contents.addFile(runs.front().path, 100);
  const std::uint32_t total = contents.nextBlock();
  ASSERT_TRUE(contents.finish(total).ok());

  ImageStream stream(std::move(contents));
  std::vector<std::uint8_t> image(std::size_t{total} * kBlockSize);
  ASSERT_TRUE(stream.read(image).ok());
  fs::remove_all(dir);
  fs::remove(fs::current_path() / bare);

  auto block = [&](std::size_t n) { return image.begin() + static_cast<std::ptrdiff_t>(n * kBlockSize); };
  EXPECT_EQ(std::count(block(0), block(0) + 10, 0x11), 10);
  std::size_t at = 1;
  for (const Run& run : runs) {
    EXPECT_EQ(std::count(block(at), block(at) + static_cast<std::ptrdiff_t>(run.bytes), run.fill),
              static_cast<std::ptrdiff_t>(run.bytes))
        << run.path;
    if (run.bytes % kBlockSize != 0) {
      EXPECT_EQ(block(at)[static_cast<std::ptrdiff_t>(run.bytes)], 0) << run.path << ": the block ends in zeros";
    }
    at += (run.bytes + kBlockSize - 1) / kBlockSize;
  }
  EXPECT_EQ(std::count(block(at), block(at + 2), 0), static_cast<std::ptrdiff_t>(2 * kBlockSize));
  EXPECT_EQ(std::count(block(at + 2), block(at + 2) + 100, 'a'), 100);
}

TEST(ImageContents, RunsKeepTheirPathOnTheDiscAndHeldBytesWhatTheyAre) {
  ImageContents contents;
  contents.addBytes(std::vector<std::uint8_t>(10, 1), "the directory /docs");
  contents.addBytes(std::vector<std::uint8_t>(10, 2));
  contents.addFile("/home/u/docs/notes.txt", 10, "/docs/notes.txt");
  contents.addFile("/home/u/docs/draft.txt", 10, "/docs/old/renamed.txt");  // another name and folder on the disc
  contents.addFile("/home/u/docs/plan.txt", 10, "/docs/plan.txt");          // back to a folder seen before
  contents.addFile("/boot/image.img", 10);                                  // no folder of the disc lists it
  ASSERT_TRUE(contents.finish(contents.nextBlock()).ok());

  const auto& runs = contents.segments();
  ASSERT_EQ(runs.size(), 6u);
  EXPECT_EQ(contents.describe(runs[0]), "the directory /docs");
  EXPECT_EQ(contents.describe(runs[1]), "");
  EXPECT_EQ(contents.discPathOf(runs[2]), "/docs/notes.txt");
  EXPECT_EQ(contents.discPathOf(runs[3]), "/docs/old/renamed.txt");
  EXPECT_EQ(contents.sourceOf(runs[3]), "/home/u/docs/draft.txt");
  EXPECT_EQ(contents.discPathOf(runs[4]), "/docs/plan.txt");
  EXPECT_EQ(contents.discPathOf(runs[5]), "/boot/image.img");
  EXPECT_EQ(contents.describe(runs[5]), "") << "a file run is no held bytes";
}

}  // namespace
