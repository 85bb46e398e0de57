// The source check against the generated sources: good ones give the facts
// the authoring needs, broken or unsuitable ones give their texts.

#include "video/mpeg_stream_check.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <tuple>

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

// The first place at or after @p from where @p pattern lies in @p bytes.
std::size_t find(const std::vector<std::uint8_t>& bytes, const std::vector<std::uint8_t>& pattern,
                 std::size_t from = 0) {
  const auto at =
      std::search(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), pattern.begin(), pattern.end());
  return static_cast<std::size_t>(at - bytes.begin());
}

std::string checkText(const std::vector<std::uint8_t>& bytes, VideoDiscKind kind) {
  auto facts = checkMpegStream(bytes, "in.mpg", kind);
  return facts ? std::string("accepted") : facts.error().message;
}

TEST(MpegStreamCheck, AudioTheDiscCannotPlayIsNamed) {
  // Private stream 1 packets carry their kind in the sub-stream id: AC-3 from 80, LPCM from A0.
  for (const auto& [file, kind, found] : {std::tuple{"vcd-ac3.mpg", VideoDiscKind::VideoCd, "AC-3 audio"},
                                          std::tuple{"svcd-ac3.mpg", VideoDiscKind::SuperVideoCd, "AC-3 audio"},
                                          std::tuple{"svcd-lpcm.mpg", VideoDiscKind::SuperVideoCd, "LPCM audio"}}) {
    const auto bytes = video_test::readFile(fixture(file));
    const std::string disc = kind == VideoDiscKind::VideoCd ? "a Video CD" : "a Super Video CD";
    EXPECT_EQ(checkText(bytes, kind), "in.mpg: " + std::string(found) + " (a private stream) at byte " +
                                          std::to_string(find(bytes, {0, 0, 1, 0xBD})) + ": " + disc +
                                          " needs MPEG-1 Layer II audio")
        << file;
  }
  // A second language is a Super Video CD's, not a Video CD's.
  EXPECT_EQ(checkText(video_test::readFile(fixture("vcd-two-audio.mpg")), VideoDiscKind::VideoCd),
            "in.mpg: 2 audio streams: a Video CD carries one");
  auto two = checkMpegStream(fixture("svcd-two-audio.mpg"), VideoDiscKind::SuperVideoCd);
  ASSERT_TRUE(two) << two.error().message;
  ASSERT_EQ(two->audioStreams.size(), 2u);
  EXPECT_EQ(two->audioStreams[0].streamId, 0xC0);
  EXPECT_EQ(two->audioStreams[1].streamId, 0xC1);
}

TEST(MpegStreamCheck, APictureThatChangesMidwayIsRefusedWhereItChanges) {
  const auto bytes = video_test::readFile(fixture("vcd-pal-to-ntsc.mpg"));
  const std::size_t second = video_test::readFile(fixture("part-pal.mpg")).size();
  const std::size_t header = find(bytes, {0, 0, 1, 0xB3}, second);
  ASSERT_LT(header, bytes.size());
  EXPECT_EQ(checkText(bytes, VideoDiscKind::VideoCd),
            "in.mpg: the picture changes from 352x288 at 25 frame/s to 352x240 at 29.97 frame/s at byte " +
                std::to_string(header / kSectorPackSize * kSectorPackSize) +
                ": a Video CD track keeps the size and rate it starts with");
  // Each half alone is a sound Video CD.
  EXPECT_EQ(checkText(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(second)),
                      VideoDiscKind::VideoCd),
            "accepted");
}

// Writes @p t into the 5-byte timestamp at @p at, keeping its prefix and markers.
void setTimestamp(std::vector<std::uint8_t>& b, std::size_t at, std::uint64_t t) {
  b[at] = static_cast<std::uint8_t>((b[at] & 0xF0) | ((t >> 29) & 0x0E) | 1);
  b[at + 1] = static_cast<std::uint8_t>(t >> 22);
  b[at + 2] = static_cast<std::uint8_t>(((t >> 14) & 0xFE) | 1);
  b[at + 3] = static_cast<std::uint8_t>(t >> 7);
  b[at + 4] = static_cast<std::uint8_t>((t << 1) | 1);
}

TEST(MpegStreamCheck, DamagedClocksAndTimesAreRefusedAtTheirByte) {
  const auto svcd = video_test::readFile(fixture("svcd-pal.mpg"));
  // The MPEG-2 pack header's clock markers sit in bits 2 of bytes 4, 6 and 8.
  const std::size_t pack = find(svcd, {0, 0, 1, 0xBA}, 10 * kSectorPackSize);
  for (const std::size_t marker : {4u, 6u, 8u}) {
    auto broken = svcd;
    broken[pack + marker] &= 0xFB;
    EXPECT_EQ(checkText(broken, VideoDiscKind::SuperVideoCd),
              "in.mpg: broken marker bits in a pack's clock reference at byte " + std::to_string(pack) +
                  ": the stream is damaged");
  }
  // A video packet with both times, after the first second's packs.
  std::size_t video = find(svcd, {0, 0, 1, 0xE0}, pack);
  while (video < svcd.size() && (svcd[video + 7] & 0xC0) != 0xC0) video = find(svcd, {0, 0, 1, 0xE0}, video + 4);
  ASSERT_LT(video, svcd.size());
  auto broken = svcd;
  broken[video + 9 + 2] &= 0xFE;
  EXPECT_EQ(checkText(broken, VideoDiscKind::SuperVideoCd),
            "in.mpg: broken marker bits in a packet's timestamp at byte " + std::to_string(video) +
                ": the stream is damaged");

  // Whole markers, impossible values: a decoding time after the
  // presentation, a presentation a minute after the pack's clock.
  auto late = svcd;
  setTimestamp(late, video + 14, 60 * 90000);
  EXPECT_EQ(checkText(late, VideoDiscKind::SuperVideoCd),
            "in.mpg: a decoding time after its presentation time at byte " + std::to_string(video) +
                ": the stream is damaged");
  auto ahead = svcd;
  setTimestamp(ahead, video + 9, 60 * 90000);
  setTimestamp(ahead, video + 14, 60 * 90000);
  const std::string text = checkText(ahead, VideoDiscKind::SuperVideoCd);
  EXPECT_EQ(text.rfind("in.mpg: a presentation time ", 0), 0u) << text;
  EXPECT_NE(
      text.find(" s away from the clock of its pack at byte " + std::to_string(video) + ": the stream is damaged"),
      std::string::npos)
      << text;

  // A Video CD's MPEG-1 pack header keeps its markers in bit 0.
  auto vcd = video_test::readFile(fixture("vcd-pal.mpg"));
  const std::size_t vcdPack = find(vcd, {0, 0, 1, 0xBA}, 10 * kSectorPackSize);
  vcd[vcdPack + 8] &= 0xFE;
  EXPECT_EQ(checkText(vcd, VideoDiscKind::VideoCd), "in.mpg: broken marker bits in a pack's clock reference at byte " +
                                                        std::to_string(vcdPack) + ": the stream is damaged");
}

TEST(MpegStreamCheck, ThePlayingTimeComesFromThePresentationTimes) {
  for (const char* file : {"svcd-pal-10s.mpg", "svcd-ntsc-30s.mpg"}) {
    auto facts = checkMpegStream(fixture(file), VideoDiscKind::SuperVideoCd);
    ASSERT_TRUE(facts) << facts.error().message;
    const std::string probed = video_test::runCommand(
        "ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 '" + fixture(file) +
        "'");
    EXPECT_NEAR(facts->playingSeconds, std::strtod(probed.c_str(), nullptr), 0.1) << file;
  }
  // Two streams joined end to end play for as long as both.
  auto joined = checkMpegStream(fixture("part-pal.mpg"), VideoDiscKind::VideoCd);
  ASSERT_TRUE(joined) << joined.error().message;
  auto bytes = video_test::readFile(fixture("part-pal.mpg"));
  const std::size_t one = bytes.size();
  bytes.insert(bytes.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(one));
  auto twice = checkMpegStream(bytes, "twice.mpg", VideoDiscKind::VideoCd);
  ASSERT_TRUE(twice) << twice.error().message;
  EXPECT_NEAR(twice->playingSeconds, 2 * joined->playingSeconds, 0.01);
}

TEST(MpegStreamCheck, NamesAFileThatCannotBeRead) {
  auto missing = checkMpegStream(fixture("no-such-file.mpg"), VideoDiscKind::VideoCd);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().kind, ErrorKind::File);
  EXPECT_EQ(missing.error().message, "cannot read " + fixture("no-such-file.mpg") + ": the file does not exist");

  auto folder = checkMpegStream(ONDRELLE_VIDEO_FIXTURES, VideoDiscKind::VideoCd);
  ASSERT_FALSE(folder);
  EXPECT_NE(folder.error().message.find("it is a folder"), std::string::npos);
}

// Nothing but a regular file is read as a stream: a FIFO nobody writes to
// would hold the check (and a burn) in its open for good, and a device
// never ends. Each is refused at once, naming the path.
TEST(MpegStreamCheck, RefusesWhatIsNotARegularFile) {
  const std::string fifo = ::testing::TempDir() + "mpeg-check-fifo";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {fifo, std::string("/dev/zero"), std::string("/dev/null")}) {
    auto future = std::async(std::launch::async, [&path] { return checkMpegStream(path, VideoDiscKind::VideoCd); });
    if (future.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // A writer lets the blocked open go, so the test ends rather than hangs.
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
      ADD_FAILURE() << path << " blocked the check";
    }
    auto refused = future.get();
    ASSERT_FALSE(refused) << path;
    EXPECT_EQ(refused.error().kind, ErrorKind::File) << path;
    EXPECT_EQ(refused.error().message, "cannot read " + path + ": it is not a regular file (a device, FIFO or socket)");
  }
  // A link to a regular file is that file.
  const std::string link = ::testing::TempDir() + "mpeg-check-link.mpg";
  ::unlink(link.c_str());
  ASSERT_EQ(::symlink(fixture("vcd-pal.mpg").c_str(), link.c_str()), 0);
  EXPECT_TRUE(checkMpegStream(link, VideoDiscKind::VideoCd));
  ::unlink(link.c_str());
  ::unlink(fifo.c_str());
}

}  // namespace
}  // namespace emberline::video
