#include <gtest/gtest.h>
#include <unistd.h>

#include "cdb.h"
#include "virtual/virtual_writer_registry.h"

using namespace vtest;
using emberline::virt::VirtualWriterRegistry;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = std::filesystem::temp_directory_path() / ("vw-registry-" + std::to_string(::getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
  }
  void TearDown() override {
    registry.shutDown();
    std::filesystem::remove_all(dir);
  }
  VirtualWriterRegistry registry;
  std::filesystem::path dir;
};

TEST_F(Registry, WritersAreFoundByNameAndByAddress) {
  ASSERT_TRUE(registry.start("cd-r;dvd+r;none,drive=dvd", dir).ok());
  EXPECT_EQ(registry.names(), (std::vector<std::string>{"CdRom16", "CdRom17", "CdRom18"}));
  EXPECT_EQ(registry.findByAddress(255, 0, 1, 0)->name(), "CdRom17");
  EXPECT_EQ(registry.findByAddress(254, 0, 1, 0), nullptr);
  EXPECT_EQ(registry.findByAddress(255, 0, 3, 0), nullptr);
  EXPECT_FALSE(registry.open("CdRom19").ok());
  EXPECT_FALSE(registry.start("cd-r,oops", dir).ok());
  EXPECT_EQ(registry.names().size(), 3u);  // a bad spec leaves the running writers alone
}

TEST_F(Registry, ReopeningADeviceSeesTheSameMedium) {
  ASSERT_TRUE(registry.start("dvd+r", dir).ok());
  Bytes data(2048 * 3, 9);
  {
    auto t = registry.open("CdRom16");
    ASSERT_TRUE(t.ok());
    ScsiCommand c = write10(0, 3);
    c.direction = emberline::DataDirection::ToDevice;
    c.data = data;
    ASSERT_TRUE((*t)->execute(c)->good());
  }
  auto again = registry.open("CdRom16");
  Bytes back(2048 * 3, 0);
  ScsiCommand r = read10(0, 3);
  r.direction = emberline::DataDirection::FromDevice;
  r.data = back;
  ASSERT_TRUE((*again)->execute(r)->good());
  EXPECT_EQ(back, data);
  registry.shutDown();  // shut-down finishes the loaded medium's image
  EXPECT_TRUE(std::filesystem::exists(dir) && !std::filesystem::is_empty(dir));
}

TEST_F(Registry, AnExclusiveOpenClaimsTheWriterUntilItEnds) {
  ASSERT_TRUE(registry.start("cd-r;dvd+r", dir).ok());
  VirtualWriterRegistry other;  // another program on the same image folder
  ASSERT_TRUE(other.start("cd-r", dir).ok());
  {
    auto burning = registry.open("CdRom16", emberline::OpenMode::Exclusive);
    ASSERT_TRUE(burning.ok());
    for (VirtualWriterRegistry* second : {&registry, &other}) {
      auto refused = second->open("CdRom16", emberline::OpenMode::Exclusive);
      ASSERT_FALSE(refused.ok());
      EXPECT_NE(refused.error().message.find("device busy"), std::string::npos) << refused.error().message;
    }
    EXPECT_TRUE(registry.open("CdRom16").ok()) << "a probe still looks at a busy writer";
    EXPECT_TRUE(registry.open("CdRom17", emberline::OpenMode::Exclusive).ok()) << "another writer is free";
  }
  EXPECT_TRUE(other.open("CdRom16", emberline::OpenMode::Exclusive).ok()) << "the claim ends with its device object";
  other.shutDown();
}
