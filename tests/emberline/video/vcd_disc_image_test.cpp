// A whole disc image from the plan: track 1 from VcdTrackOneSource and the
// MPEG track from VcdTrackSource, read by the Video CD tools.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "video/vcd_track_one.h"
#include "video/vcd_track_source.h"
#include "video_fixtures.h"

namespace emberline::video {
namespace {

using video_test::fixture;

std::string cueTime(std::uint32_t sectors) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", sectors / 4500, sectors / 75 % 60, sectors % 75);
  return text;
}

// Writes disc.bin / disc.cue for @p file into @p dir; returns the layout.
VcdDiscLayout writeImage(const std::string& file, VideoDiscKind kind, const std::filesystem::path& dir) {
  auto facts = checkMpegStream(fixture(file), kind);
  EXPECT_TRUE(facts) << facts.error().message;
  auto layout = planVcdDisc(facts.value(), "Album VideoCD");
  EXPECT_TRUE(layout) << layout.error().message;
  std::ofstream bin(dir / "disc.bin", std::ios::binary);
  auto trackOne = VcdTrackOneSource::build(*layout);
  EXPECT_TRUE(trackOne) << trackOne.error().message;
  auto trackTwo = VcdTrackSource::open(fixture(file), *layout);
  EXPECT_TRUE(trackTwo);
  std::vector<std::uint8_t> buffer(sector::kRawSectorSize * 64);
  for (write::BlockSource* source :
       {static_cast<write::BlockSource*>(trackOne->get()), static_cast<write::BlockSource*>(trackTwo->get())}) {
    for (std::uint32_t left = source->blockCount(); left > 0;) {
      const std::uint32_t n = std::min<std::uint32_t>(left, 64);
      const auto part = std::span(buffer).first(n * sector::kRawSectorSize);
      EXPECT_TRUE(source->read(part));
      bin.write(reinterpret_cast<const char*>(part.data()), static_cast<std::streamsize>(part.size()));
      left -= n;
    }
  }
  std::ofstream cue(dir / "disc.cue");
  cue << "FILE \"disc.bin\" BINARY\n"
      << "  TRACK 01 MODE2/2352\n    INDEX 01 00:00:00\n"
      << "  TRACK 02 MODE2/2352\n    INDEX 00 " << cueTime(layout->pregapLba) << "\n    INDEX 01 "
      << cueTime(layout->trackTwoLba) << "\n";
  return layout.value();
}

struct DiscCase {
  const char* file;
  VideoDiscKind kind;
  const char* detected;
};

class VcdDiscImageTest : public ::testing::TestWithParam<DiscCase> {};

TEST_P(VcdDiscImageTest, ReadersAcceptTheDiscAndRipTheSource) {
  const DiscCase& c = GetParam();
  const auto dir = video_test::scratch(std::string("image-") + c.file);
  const std::vector<std::uint8_t> source = video_test::readFile(fixture(c.file));
  const VcdDiscLayout layout = writeImage(c.file, c.kind, dir);
  EXPECT_EQ(video_test::readFile(fixture(c.file)), source);  // the source is only read

  const std::string info =
      video_test::runCommand("cd '" + dir.string() + "' && vcd-info -B --cue-file=disc.cue -f -I -E -T 2>&1");
  EXPECT_NE(info.find(c.detected), std::string::npos) << info;
  EXPECT_NE(info.find("Album VideoCD"), std::string::npos) << info;
  EXPECT_EQ(info.find("WARN"), std::string::npos) << info;
  EXPECT_NE(info.find("entries: 1"), std::string::npos) << info;
  EXPECT_NE(info.find("LSN    " + std::to_string(layout.firstPackLba())), std::string::npos) << info;

  const std::string toc = video_test::runCommand("cd '" + dir.string() +
                                                 "' && cd-info --no-header --no-device-info --cue-file disc.cue 2>&1");
  EXPECT_NE(toc.find("CD-ROM Track List (1 - 2)"), std::string::npos) << toc;
  EXPECT_NE(toc.find("  2: " + cueTime(layout.trackTwoLba + 150)), std::string::npos) << toc;
  EXPECT_NE(toc.find("170: " + cueTime(layout.leadOutLba + 150)), std::string::npos) << toc;

  const std::string rip = video_test::runCommand("cd '" + dir.string() + "' && vcdxrip --cue-file=disc.cue 2>&1");
  const auto ripped = dir / "avseq01.mpg";
  ASSERT_TRUE(std::filesystem::exists(ripped)) << rip;
  EXPECT_EQ(video_test::readFile(ripped.string()), source);
  const std::string probed =
      video_test::runCommand("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + ripped.string() + "'");
  EXPECT_GT(std::strtod(probed.c_str(), nullptr), 2.5) << probed;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, VcdDiscImageTest,
                         ::testing::Values(DiscCase{"vcd-pal.mpg", VideoDiscKind::VideoCd, "VCD 2.0"},
                                           DiscCase{"vcd-ntsc.mpg", VideoDiscKind::VideoCd, "VCD 2.0"},
                                           DiscCase{"vcd-film.mpg", VideoDiscKind::VideoCd, "VCD 2.0"},
                                           DiscCase{"svcd-pal.mpg", VideoDiscKind::SuperVideoCd, "SVCD"},
                                           DiscCase{"svcd-ntsc.mpg", VideoDiscKind::SuperVideoCd, "SVCD"}),
                         [](const auto& p) {
                           std::string name = p.param.file;
                           name = name.substr(0, name.find('.'));
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

}  // namespace
}  // namespace emberline::video
