// The source check against the generated sources: good ones give the facts
// the authoring needs, broken or unsuitable ones give their texts.

#include "video/mpeg_stream_check.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "video_fixtures.h"

namespace emberline::video {
namespace {

using video_test::fixture;

// "vcd-pal.mpg" -> "vcd_pal": a test name gtest accepts.
std::string sourceName(std::string file) {
  file = file.substr(0, file.find('.'));
  for (char& c : file)
    if (c == '-') c = '_';
  return file;
}

struct GoodSource {
  const char* file;
  VideoDiscKind kind;
  std::uint16_t width, height;
  const char* rate;
};

class GoodSourceTest : public ::testing::TestWithParam<GoodSource> {};

TEST_P(GoodSourceTest, GivesTheFactsTheAuthoringNeeds) {
  const GoodSource& s = GetParam();
  auto facts = checkMpegStream(fixture(s.file), s.kind);
  ASSERT_TRUE(facts) << facts.error().message;
  EXPECT_EQ(facts->width, s.width);
  EXPECT_EQ(facts->height, s.height);
  EXPECT_EQ(frameRateText(facts->frameRate), s.rate);
  EXPECT_EQ(facts->system, s.kind == VideoDiscKind::VideoCd ? MpegSystem::Mpeg1 : MpegSystem::Mpeg2);
  EXPECT_EQ(facts->mpeg2Video, s.kind == VideoDiscKind::SuperVideoCd);
  ASSERT_TRUE(facts->audio.has_value());
  EXPECT_EQ(facts->audio->layer, 2);
  EXPECT_EQ(facts->audio->sampleRate, 44100u);
  EXPECT_GT(facts->videoBitRate, 0u);
  EXPECT_GT(facts->muxRate, 0u);

  // One pack per sector: the packs tile the file.
  EXPECT_TRUE(facts->sectorSizedPacks);
  EXPECT_EQ(facts->packCount * kSectorPackSize, facts->fileSize);

  // The stream opens with a sequence header, the first entry point; access
  // points come in stream order, each at a pack start.
  ASSERT_FALSE(facts->accessPoints.empty());
  EXPECT_TRUE(facts->accessPoints.front().sequenceHeader);
  EXPECT_DOUBLE_EQ(facts->accessPoints.front().seconds, 0.0);
  for (std::size_t i = 1; i < facts->accessPoints.size(); ++i) {
    const MpegAccessPoint& a = facts->accessPoints[i];
    EXPECT_GT(a.seconds, facts->accessPoints[i - 1].seconds);
    EXPECT_GE(a.packIndex, facts->accessPoints[i - 1].packIndex);
    EXPECT_EQ(a.offset, a.packIndex * kSectorPackSize);
  }
  EXPECT_LT(facts->accessPoints.back().seconds, facts->durationSeconds);

  // The duration agrees with an independent reader.
  const std::string probed =
      video_test::runCommand("ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 '" +
                             fixture(s.file) + "'");
  ASSERT_FALSE(probed.empty());
  EXPECT_NEAR(facts->durationSeconds, std::strtod(probed.c_str(), nullptr), 0.1) << probed;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, GoodSourceTest,
                         ::testing::Values(GoodSource{"vcd-pal.mpg", VideoDiscKind::VideoCd, 352, 288, "25"},
                                           GoodSource{"vcd-ntsc.mpg", VideoDiscKind::VideoCd, 352, 240, "29.97"},
                                           GoodSource{"vcd-film.mpg", VideoDiscKind::VideoCd, 352, 240, "23.976"},
                                           GoodSource{"svcd-pal.mpg", VideoDiscKind::SuperVideoCd, 480, 576, "25"},
                                           GoodSource{"svcd-ntsc.mpg", VideoDiscKind::SuperVideoCd, 480, 480, "29.97"}),
                         [](const auto& p) { return sourceName(p.param.file); });

struct BadSource {
  const char* file;
  VideoDiscKind kind;
  const char* text;
};

class BadSourceTest : public ::testing::TestWithParam<BadSource> {};

TEST_P(BadSourceTest, IsRefusedWithItsText) {
  const BadSource& s = GetParam();
  auto facts = checkMpegStream(fixture(s.file), s.kind);
  ASSERT_FALSE(facts);
  EXPECT_EQ(facts.error().message, fixture(s.file) + ": " + s.text);
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, BadSourceTest,
    ::testing::Values(
        BadSource{"svcd-pal.mpg", VideoDiscKind::VideoCd, "MPEG-2 stream given for a Video CD"},
        BadSource{"vcd-ntsc.mpg", VideoDiscKind::SuperVideoCd, "MPEG-1 stream given for a Super Video CD"},
        BadSource{"dvd-size.mpg", VideoDiscKind::VideoCd, "MPEG-2 stream given for a Video CD"},
        BadSource{"dvd-size.mpg", VideoDiscKind::SuperVideoCd,
                  "frame size 720x576: a Super Video CD needs 480x480 or 480x576 (or 352x480, 352x576)"},
        BadSource{"mpeg1-640x360.mpg", VideoDiscKind::VideoCd,
                  "frame size 640x360: a Video CD needs 352x240 or 352x288"},
        BadSource{"vcd-48khz.mpg", VideoDiscKind::VideoCd, "audio sampled at 48000 Hz: a Video CD needs 44100 Hz"},
        BadSource{"vcd-layer3.mpg", VideoDiscKind::VideoCd, "audio layer III: a Video CD needs MPEG-1 Layer II audio"},
        BadSource{"vcd-30fps.mpg", VideoDiscKind::VideoCd,
                  "frame rate 30 frame/s at 352x240: a Video CD needs 29.97 or 23.976 frame/s at that size"},
        BadSource{"vcd-high-rate.mpg", VideoDiscKind::VideoCd,
                  "mux rate 2000000 bit/s at byte 0: a Video CD carries at most 1411200 bit/s"},
        // Several 4096-byte packets under one pack header.
        BadSource{"mpeg1-big-packs.mpg", VideoDiscKind::VideoCd,
                  "pack of 28672 bytes at byte 0: a Video CD sector holds at most 2324 bytes"},
        BadSource{"truncated.mpg", VideoDiscKind::VideoCd, "the stream ends inside a pack at byte 10296"},
        BadSource{"h264.mp4", VideoDiscKind::VideoCd, "not an MPEG program stream"},
        BadSource{"h264.ts", VideoDiscKind::SuperVideoCd, "not an MPEG program stream"},
        BadSource{"text.txt", VideoDiscKind::VideoCd, "not an MPEG program stream"},
        BadSource{"empty.mpg", VideoDiscKind::SuperVideoCd, "the file is empty"}),
    [](const auto& p) {
      return sourceName(p.param.file) + (p.param.kind == VideoDiscKind::VideoCd ? "_as_vcd" : "_as_svcd");
    });

TEST(MpegStreamCheck, NamesAFileThatCannotBeRead) {
  auto missing = checkMpegStream(fixture("no-such-file.mpg"), VideoDiscKind::VideoCd);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, ErrorKind::File);
  EXPECT_EQ(missing.error().message, "cannot read " + fixture("no-such-file.mpg") + ": the file does not exist");

  auto folder = checkMpegStream(ONDRELLE_VIDEO_FIXTURES, VideoDiscKind::VideoCd);
  ASSERT_FALSE(folder);
  EXPECT_NE(folder.error().message.find("it is a folder"), std::string::npos);
}

}  // namespace
}  // namespace emberline::video
