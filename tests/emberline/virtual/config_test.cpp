#include <gtest/gtest.h>

#include "virtual/virtual_writer_config.h"

using namespace emberline::virt;

TEST(WriterConfig, EmptySpecGivesACdAndADvdWriterWithBlankMedia) {
  auto w = parseWriterConfigs("");
  ASSERT_TRUE(w.ok());
  ASSERT_EQ(w->size(), 2u);
  EXPECT_EQ((*w)[0].media, MediaKind::CdR);
  EXPECT_EQ((*w)[0].drive, DriveKind::Cd);
  EXPECT_EQ((*w)[1].media, MediaKind::DvdPlusR);
  EXPECT_EQ((*w)[1].drive, DriveKind::Dvd);
  EXPECT_EQ((*w)[1].bufferKb, 4096u);
  EXPECT_EQ((*w)[1].product, "VIRTUAL DVD+-RW");
}

TEST(WriterConfig, NoneMeansNoWriters) {
  auto w = parseWriterConfigs("none");
  ASSERT_TRUE(w.ok());
  EXPECT_TRUE(w->empty());
}

TEST(WriterConfig, KeysOverrideDefaults) {
  auto w = parseWriterConfigs("cd-rw,speeds=1400/176/353,fixed-speed=706,bup=0,label=DATA,fault=write-error@100");
  ASSERT_TRUE(w.ok()) << w.error().message;
  const WriterConfig& c = w->front();
  EXPECT_EQ(c.writeSpeeds, (std::vector<std::uint32_t>{176, 353, 1400}));
  EXPECT_EQ(c.fixedSpeed, 706u);
  EXPECT_FALSE(c.bufferUnderrunProtection);
  ASSERT_EQ(c.faults.size(), 1u);
  EXPECT_EQ(c.faults[0].kind, FaultSpec::Kind::WriteError);
  EXPECT_EQ(c.faults[0].lba, 100);
}

TEST(WriterConfig, BadTextNamesTheBadPiece) {
  struct Case {
    const char* spec;
    const char* piece;
  } cases[] = {
      {"cd-q", "cd-q"},
      {"cd-r,speed=5", "speed=5"},
      {"cd-r,bup=yes", "bup=yes"},
      {"cd-r;none", "none"},
      {"none,drive=tape", "drive=tape"},
      {"cd-r,fault=melt", "fault=melt"},
      {"dvd+r,drive=cd", "drive=cd"},
      {"cd-r;;dvd+r", ""},
      {"cd-r,latency=600000", "latency=600000"},  // a drive that slow would only seem to hang
  };
  for (const auto& c : cases) {
    auto w = parseWriterConfigs(c.spec);
    ASSERT_FALSE(w.ok()) << c.spec;
    EXPECT_NE(w.error().message.find(std::string("\"") + c.piece + "\""), std::string::npos) << w.error().message;
  }
  EXPECT_TRUE(parseWriterConfigs("cd-r,latency=5000").ok());
  EXPECT_FALSE(parseWriterConfigs("cd-r;cd-r;cd-r;cd-r;cd-r;cd-r;cd-r").ok());
  EXPECT_FALSE(parseWriterConfigs("cd-rom,appendable=2").ok());
  EXPECT_FALSE(parseWriterConfigs("dvd+rw,sessions=1").ok());
  auto empty = parseWriterConfigs("none,drive=cd");
  ASSERT_TRUE(empty.ok());
  EXPECT_EQ(empty->front().media, MediaKind::None);
}

TEST(WriterConfig, ImageFolderFollowsOverrideThenHome) {
  EXPECT_EQ(virtualDirectory("/tmp/x", "/home/u"), "/tmp/x");
  EXPECT_EQ(virtualDirectory("", "/home/u"), "/home/u/.local/share/ondrelle/virtual-writer");
}
