#include "virtual/disc_image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <fstream>

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
