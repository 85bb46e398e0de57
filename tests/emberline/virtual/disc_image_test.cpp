#include "virtual/disc_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <vector>

#include "virtual/disc_layout.h"

using namespace emberline::virt;

TEST(DiscImage, AnImageNeverReplacesAnotherOfTheSameName) {
  const auto dir = std::filesystem::temp_directory_path() / ("vw-image-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  {
    std::ofstream(dir / "CdRom16-1.cue") << "an earlier disc's cue\n";  // left by another program
    DiscImage first(dir / "CdRom16-1", true);
    DiscImage second(dir / "CdRom16-1", true);
    std::array<std::uint8_t, 2352> a{}, b{};
    a.fill(1);
    b.fill(2);
    ASSERT_TRUE(first.write(0, a).ok());
    ASSERT_TRUE(second.write(0, b).ok());
    EXPECT_NE(first.dataPath(), second.dataPath());
    EXPECT_NE(first.cuePath(), dir / "CdRom16-1.cue");
    DiscLayout layout(MediaKind::CdR);
    ASSERT_TRUE(layout.record(0, 1, SectorLayout::Mode1));
    ASSERT_TRUE(first.finish(layout).ok());
    ASSERT_TRUE(second.finish(layout).ok());
    std::array<std::uint8_t, 2352> back{};
    std::ifstream(first.dataPath(), std::ios::binary).read(reinterpret_cast<char*>(back.data()), back.size());
    EXPECT_EQ(back, a);
    std::ifstream(second.dataPath(), std::ios::binary).read(reinterpret_cast<char*>(back.data()), back.size());
    EXPECT_EQ(back, b);
    std::string earlier;
    std::getline(std::ifstream(dir / "CdRom16-1.cue"), earlier);
    EXPECT_EQ(earlier, "an earlier disc's cue");
  }
  std::filesystem::remove_all(dir);
}

// Windows of a long recording go to the disk while later ones are written;
// an overwrite behind the window and a jump ahead must land as written all the same.
TEST(DiscImage, ALongRecordingWithOverwritesAndJumpsReadsBackAsWritten) {
  const auto dir = std::filesystem::temp_directory_path() / ("vw-long-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  {
    constexpr std::int32_t kChunk = 512;  // 1 MiB of 2048-byte blocks
    constexpr std::int32_t kChunks = 40;
    std::vector<std::uint8_t> chunk(static_cast<std::size_t>(kChunk) * 2048);
    auto fill = [&](std::int32_t n) { std::fill(chunk.begin(), chunk.end(), static_cast<std::uint8_t>(n * 7 + 1)); };
    DiscImage image(dir / "dvd", false);
    for (std::int32_t n = 0; n < kChunks; ++n) {
      fill(n);
      ASSERT_TRUE(image.write(n * kChunk, chunk).ok());
    }
    fill(100);
    ASSERT_TRUE(image.write(3 * kChunk, chunk).ok());  // behind the window
    fill(101);
    ASSERT_TRUE(image.write(60 * kChunk, chunk).ok());  // past a gap
    DiscLayout layout(MediaKind::DvdPlusRw);
    ASSERT_TRUE(image.finish(layout).ok());

    std::ifstream in(image.dataPath(), std::ios::binary);
    std::vector<std::uint8_t> back(chunk.size());
    for (std::int32_t n = 0; n <= 60; ++n) {
      in.read(reinterpret_cast<char*>(back.data()), static_cast<std::streamsize>(back.size()));
      ASSERT_TRUE(in) << "chunk " << n;
      const std::uint8_t want = n == 3 ? 100 * 7 + 1 : n == 60 ? 101 * 7 + 1 : n < kChunks ? n * 7 + 1 : 0;
      ASSERT_EQ(std::count(back.begin(), back.end(), want), static_cast<std::ptrdiff_t>(back.size())) << "chunk " << n;
    }
  }
  std::filesystem::remove_all(dir);
}
