// Video CDs and Super Video CDs burned through the flat API onto the virtual
// CD writer, read back from its BIN/CUE by the Video CD tools.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <thread>

#include "emberline/write/recording_fixture.h"
#include "video/mpeg_stream_check.h"
#include "video/vcd_disc_layout.h"
#include "video_fixtures.h"

namespace emberline::test {
namespace {

using video_test::fixture;

class VideoBurn : public RecordingTest {
 protected:
  uint8_t burn(bool super, const std::string& source, uint8_t testMode = 0) {
    const auto call = super ? &Emberline_CdvdWriter_SuperVideoCD : &Emberline_CdvdWriter_VideoCD;
    return call(writer_, out_.text, EMBERLINE_TEXT_SIZE, &out_.status, &out_.failure, source.c_str(), "Album VideoCD",
                1, 1, testMode, 1, 5);
  }

  /// Ejects and returns the folder holding the recorded disc.cue's .bin and .cue.
  std::filesystem::path recorded() {
    EXPECT_EQ(eject(), EMBERLINE_OK);
    const auto cues = images(".cue");
    EXPECT_EQ(cues.size(), 1u);
    return cues.empty() ? std::filesystem::path() : cues.front();
  }
};

struct BurnCase {
  const char* file;
  bool super;
  const char* detected;
};

class VideoBurnOf : public VideoBurn, public ::testing::WithParamInterface<BurnCase> {};

TEST_P(VideoBurnOf, TheRecordedDiscPassesTheReadersAndRipsTheSource) {
  const BurnCase& c = GetParam();
  burnerWith("cd-r");
  const std::vector<std::uint8_t> source = video_test::readFile(fixture(c.file));
  ASSERT_EQ(burn(c.super, fixture(c.file)), EMBERLINE_OK) << out_.text;
  EXPECT_EQ(video_test::readFile(fixture(c.file)), source) << "the source is only read";
  ASSERT_FALSE(log_.progress.empty());
  EXPECT_EQ(log_.progress.back().first, log_.progress.back().second) << "progress reaches the total";

  const auto cue = recorded();
  ASSERT_FALSE(cue.empty());
  const std::string cueText = runTool("cat '" + cue.string() + "'");
  EXPECT_NE(cueText.find("TRACK 02 MODE2/2352"), std::string::npos) << cueText;
  EXPECT_NE(cueText.find("INDEX 00"), std::string::npos) << cueText;
  const std::string dir = cue.parent_path().string();
  const std::string name = cue.filename().string();

  const std::string info = runTool("cd '" + dir + "' && vcd-info -B --cue-file='" + name + "' -f -I -E -T");
  EXPECT_NE(info.find(c.detected), std::string::npos) << info;
  EXPECT_NE(info.find("Album VideoCD"), std::string::npos) << info;
  EXPECT_EQ(info.find("WARN"), std::string::npos) << info;
  EXPECT_NE(info.find("entries: 1"), std::string::npos) << info;

  const std::string toc = runTool("cd '" + dir + "' && cd-info --no-header --no-device-info --cue-file '" + name + "'");
  EXPECT_NE(toc.find("CD-ROM Track List (1 - 2)"), std::string::npos) << toc;

  const std::string rip = runTool("cd '" + dir + "' && vcdxrip --cue-file='" + name + "'");
  const auto ripped = cue.parent_path() / "avseq01.mpg";
  ASSERT_TRUE(std::filesystem::exists(ripped)) << rip;
  EXPECT_EQ(video_test::readFile(ripped.string()), source);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, VideoBurnOf,
                         ::testing::Values(BurnCase{"vcd-pal.mpg", false, "VCD 2.0"},
                                           BurnCase{"svcd-ntsc.mpg", true, "SVCD"}),
                         [](const auto& p) { return std::string(p.param.super ? "svcd" : "vcd"); });

TEST_F(VideoBurn, ATestBurnLeavesTheDiscBlank) {
  burnerWith("cd-r");
  ASSERT_EQ(burn(false, fixture("vcd-ntsc.mpg"), 1), EMBERLINE_OK) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(VideoBurn, BadSourcesAndUnsuitedMediaAreRefusedBeforeAnyWrite) {
  burnerWith("cd-r");
  EXPECT_NE(burn(false, fixture("svcd-pal.mpg")), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("MPEG-2 stream given for a Video CD"), std::string::npos) << out_.text;
  EXPECT_NE(burn(true, fixture("text.txt")), EMBERLINE_OK);
  EXPECT_NE(burn(false, ""), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("no MPEG file named"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());

  ASSERT_EQ(burn(false, fixture("vcd-pal.mpg")), EMBERLINE_OK) << out_.text;
  EXPECT_NE(burn(false, fixture("vcd-pal.mpg")), EMBERLINE_OK) << "the disc is no longer blank";
  EXPECT_NE(std::string(out_.text).find("closed"), std::string::npos) << out_.text;
}

// What a refusal must leave as it was: the source's size, time and bytes.
struct SourceState {
  std::uintmax_t size = 0;
  std::filesystem::file_time_type written;
  std::vector<std::uint8_t> bytes;
  friend bool operator==(const SourceState&, const SourceState&) = default;
};
SourceState stateOf(const std::string& path) {
  return {std::filesystem::file_size(path), std::filesystem::last_write_time(path), video_test::readFile(path)};
}

struct RefusedCase {
  const char* name;
  const char* file;
  bool super;
  const char* text;
};

class RefusedSource : public VideoBurn, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedSource, IsNamedAndNothingIsWritten) {
  const RefusedCase& c = GetParam();
  burnerWith("cd-r");
  const SourceState before = stateOf(fixture(c.file));
  EXPECT_NE(burn(c.super, fixture(c.file)), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find(c.text), std::string::npos) << out_.text;
  EXPECT_TRUE(stateOf(fixture(c.file)) == before) << "the source is left as it was";
  EXPECT_TRUE(discBlank());
  EXPECT_EQ(eject(), EMBERLINE_OK);
  EXPECT_TRUE(images(".bin").empty() && images(".cue").empty()) << "no disc image is left";
}

INSTANTIATE_TEST_SUITE_P(
    Fixtures, RefusedSource,
    ::testing::Values(
        RefusedCase{"ac3_on_vcd", "vcd-ac3.mpg", false, "AC-3 audio (a private stream) at byte "},
        RefusedCase{"ac3_on_svcd", "svcd-ac3.mpg", true, "AC-3 audio (a private stream) at byte "},
        RefusedCase{"pal_to_ntsc", "vcd-pal-to-ntsc.mpg", false,
                    "the picture changes from 352x288 at 25 frame/s to 352x240 at 29.97 frame/s at byte "},
        RefusedCase{"broken_marker", "vcd-broken-marker.mpg", false,
                    "broken marker bits in a pack's clock reference at byte 23240: the stream is damaged"}),
    [](const auto& p) { return std::string(p.param.name); });

// The subheaders of the MPEG track's sectors in a .bin: file, channel, submode, coding.
std::vector<std::array<std::uint8_t, 4>> packSubheaders(const std::filesystem::path& bin, std::uint32_t firstPack,
                                                        std::uint32_t count) {
  const std::vector<std::uint8_t> raw = video_test::readFile(bin.string());
  std::vector<std::array<std::uint8_t, 4>> subheaders;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::size_t at = std::size_t{firstPack + i} * sector::kRawSectorSize + 16;
    if (at + 4 > raw.size()) break;
    subheaders.push_back({raw[at], raw[at + 1], raw[at + 2], raw[at + 3]});
  }
  return subheaders;
}

TEST_F(VideoBurn, ATwoLanguageSuperVideoCdRecordsBothAudioStreams) {
  burnerWith("cd-r");
  const std::string source = fixture("svcd-two-audio.mpg");
  ASSERT_EQ(burn(true, source), EMBERLINE_OK) << out_.text;
  const auto cue = recorded();
  ASSERT_FALSE(cue.empty());
  const std::string dir = cue.parent_path().string();
  const std::string info =
      runTool("cd '" + dir + "' && vcd-info -B --cue-file='" + cue.filename().string() + "' -f -I -E -T 2>&1");
  EXPECT_EQ(info.find("WARN"), std::string::npos) << info;
  EXPECT_NE(info.find("audio: 2 streams"), std::string::npos) << info;

  // Each pack's sector says which audio stream it carries: the first on
  // channel 1, the second on channel 2; video on channel 1.
  auto facts = video::checkMpegStream(source, video::VideoDiscKind::SuperVideoCd);
  ASSERT_TRUE(facts);
  auto layout = video::planVcdDisc(*facts, "Album VideoCD");
  ASSERT_TRUE(layout);
  const auto bin = cue.parent_path() / (cue.stem().string() + ".bin");
  const auto subheaders = packSubheaders(bin, layout->firstPackLba(), layout->packCount);
  ASSERT_EQ(subheaders.size(), layout->packCount);
  auto reader = video::MpegStreamReader::open(source, video::kSectorPackSize);
  ASSERT_TRUE(reader);
  video::MpegPack pack;
  std::set<int> audioChannels;
  for (std::size_t i = 0; reader->next(pack).value(); ++i) {
    const auto& sub = subheaders[i];
    if (pack.hasVideo) {
      EXPECT_EQ(sub[1], 1) << "video pack " << i;
      EXPECT_TRUE(sub[2] & sector::submode::kVideo) << i;
    } else if (pack.hasAudio) {
      EXPECT_EQ(sub[1], pack.audioStream == 0xC0 ? 1 : 2) << "audio pack " << i;
      EXPECT_TRUE(sub[2] & sector::submode::kAudio) << i;
      audioChannels.insert(sub[1]);
    }
  }
  EXPECT_EQ(audioChannels, (std::set<int>{1, 2}));
}

TEST_F(VideoBurn, AVideoCdSectorIsMarkedByWhatItsPackCarries) {
  burnerWith("cd-r");
  const std::string source = fixture("vcd-pal.mpg");
  ASSERT_EQ(burn(false, source), EMBERLINE_OK) << out_.text;
  const auto cue = recorded();
  ASSERT_FALSE(cue.empty());
  auto facts = video::checkMpegStream(source, video::VideoDiscKind::VideoCd);
  ASSERT_TRUE(facts);
  auto layout = video::planVcdDisc(*facts, "Album VideoCD");
  ASSERT_TRUE(layout);
  const auto subheaders =
      packSubheaders(cue.parent_path() / (cue.stem().string() + ".bin"), layout->firstPackLba(), layout->packCount);
  ASSERT_EQ(subheaders.size(), layout->packCount);
  auto reader = video::MpegStreamReader::open(source, video::kSectorPackSize);
  ASSERT_TRUE(reader);
  video::MpegPack pack;
  int audioHeaderOnly = 0;
  for (std::size_t i = 0; reader->next(pack).value(); ++i) {
    const std::uint8_t submode = subheaders[i][2];
    const bool video = pack.hasVideo || (!pack.hasAudio && pack.systemHeaderVideo);
    const bool audio = !video && (pack.hasAudio || pack.systemHeaderAudio);
    if (!pack.hasVideo && !pack.hasAudio && pack.systemHeaderAudio && !pack.systemHeaderVideo) ++audioHeaderOnly;
    EXPECT_EQ((submode & sector::submode::kVideo) != 0, video) << "pack " << i;
    EXPECT_EQ((submode & sector::submode::kAudio) != 0, audio) << "pack " << i;
  }
  EXPECT_GT(audioHeaderOnly, 0) << "the source has a pack with only the audio system header";
}

// The playing time vcd-info reads from TRACKS.SVD for the first MPEG track, in seconds.
double svcdTrackSeconds(const std::string& info) {
  const auto at = info.find("track[00]: ");
  if (at == std::string::npos) return -1;
  unsigned m = 0, s = 0, f = 0;
  if (std::sscanf(info.c_str() + at, "track[00]: %u:%u:%u", &m, &s, &f) != 3) return -1;
  return m * 60.0 + s + f / 75.0;
}

class SvcdPlayingTime : public VideoBurn, public ::testing::WithParamInterface<const char*> {};

TEST_P(SvcdPlayingTime, IsTheStreamsDurationAsReadersSeeIt) {
  burnerWith("cd-r");
  const std::string source = fixture(GetParam());
  ASSERT_EQ(burn(true, source), EMBERLINE_OK) << out_.text;
  const auto cue = recorded();
  ASSERT_FALSE(cue.empty());
  const std::string info = runTool("cd '" + cue.parent_path().string() + "' && vcd-info -B --cue-file='" +
                                   cue.filename().string() + "' -f -I -E -T 2>&1");
  const std::string probed =
      runTool("ffprobe -v error -show_entries format=duration -of default=noprint_wrappers=1:nokey=1 '" + source + "'");
  EXPECT_NEAR(svcdTrackSeconds(info), std::strtod(probed.c_str(), nullptr), 0.1) << info;
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SvcdPlayingTime,
                         ::testing::Values("svcd-pal-10s.mpg", "svcd-pal-30s.mpg", "svcd-ntsc-10s.mpg",
                                           "svcd-ntsc-30s.mpg"),
                         [](const auto& p) {
                           std::string name = p.param;
                           name = name.substr(0, name.find('.'));
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST_F(VideoBurn, ADvdIsRefused) {
  burnerWith("dvd-r");
  EXPECT_NE(burn(false, fixture("vcd-pal.mpg")), EMBERLINE_OK);
  EXPECT_NE(std::string(out_.text).find("the disc in the drive is a DVD"), std::string::npos) << out_.text;
  EXPECT_TRUE(discBlank());
}

TEST_F(VideoBurn, CancelEndsARealtimeBurnWithinASecond) {
  burnerWith("cd-r,realtime=1,speeds=176");  // 1x: the burn takes seconds
  std::atomic<std::chrono::steady_clock::rep> cancelledAt{0};
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    cancelledAt = std::chrono::steady_clock::now().time_since_epoch().count();
    Emberline_CdvdWriter_Cancel(writer_);
  });
  const uint8_t code = burn(true, fixture("svcd-pal.mpg"));
  const auto returnedAt = std::chrono::steady_clock::now();
  canceller.join();
  EXPECT_EQ(code, EMBERLINE_E_CANCELLED) << out_.text;
  const std::chrono::steady_clock::time_point cancelTime{std::chrono::steady_clock::duration(cancelledAt.load())};
  EXPECT_LT(returnedAt - cancelTime, std::chrono::seconds(1));
  EXPECT_NE(discInformation()[2], 1) << "no session left incomplete";
}

}  // namespace
}  // namespace emberline::test
