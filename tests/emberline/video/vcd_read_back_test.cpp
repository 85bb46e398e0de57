// A Video CD recorded onto a virtual CD writer and read back with READ CD:
// whole sectors and the user data of each form.

#include <gtest/gtest.h>

#include "emberline/virtual/cdb.h"
#include "video/vcd_disc_plan.h"
#include "video/vcd_track_source.h"
#include "video_fixtures.h"
#include "write/recorder.h"

namespace emberline::video {
namespace {

vtest::ScsiCommand readCd(std::int32_t lba, std::uint32_t count, std::uint8_t flags, std::uint8_t type = 0) {
  auto c = vtest::cdb({0xBE, static_cast<std::uint8_t>(type << 2), 0, 0, 0, 0, 0, 0, 0, flags, 0, 0});
  be::put32(c.cdb, 2, static_cast<std::uint32_t>(lba));
  c.cdb[6] = static_cast<std::uint8_t>(count >> 16);
  c.cdb[7] = static_cast<std::uint8_t>(count >> 8);
  c.cdb[8] = static_cast<std::uint8_t>(count);
  return c;
}

TEST(VcdReadBack, ReadCdAnswersWholeSectorsAndTheUserDataOfEachForm) {
  const std::string source = video_test::fixture("vcd-pal.mpg");
  auto facts = checkMpegStream(source, VideoDiscKind::VideoCd);
  ASSERT_TRUE(facts) << facts.error().message;
  auto layout = planVcdDisc(*facts, "Album VideoCD");
  ASSERT_TRUE(layout) << layout.error().message;

  vtest::DriveHarness h("cd-r");
  h.waitReady();
  Drive device(*h.transport);
  write::RecordingContext context{device, *h.transport, {}, {}, {}, std::chrono::minutes(1)};
  auto plan = vcdDiscPlan(*layout, source);
  ASSERT_TRUE(plan) << plan.error().message;
  Status recorded = write::record(context, *plan);
  ASSERT_TRUE(recorded.ok()) << recorded.error().message;

  // The primary volume descriptor: Form 1 user data.
  const vtest::Bytes pvd = h.fetch(readCd(16, 1, 0x10, 4), 2048);
  ASSERT_EQ(pvd.size(), 2048u);
  EXPECT_EQ(std::string(pvd.begin() + 1, pvd.begin() + 6), "CD001");
  EXPECT_EQ(std::string(pvd.begin() + 8, pvd.begin() + 25), "CD-RTOS CD-BRIDGE");

  // The first pack: Form 2 user data is the stream's first 2324 bytes, and
  // the whole sector is the one the track source makes.
  const std::vector<std::uint8_t> stream = video_test::readFile(source);
  const vtest::Bytes pack = h.fetch(readCd(static_cast<std::int32_t>(layout->firstPackLba()), 1, 0x10), 2324);
  ASSERT_EQ(pack.size(), 2324u);
  EXPECT_TRUE(std::equal(pack.begin(), pack.begin() + 4, stream.begin())) << "a pack header comes first";
  auto track = VcdTrackSource::open(source, *layout);
  ASSERT_TRUE(track);
  std::vector<std::uint8_t> made(std::size_t{layout->firstPackLba() - layout->pregapLba + 1} * 2352);
  ASSERT_TRUE((*track)->read(made).ok());
  const vtest::Bytes whole = h.fetch(readCd(static_cast<std::int32_t>(layout->firstPackLba()), 1, 0xF8), 2352);
  ASSERT_EQ(whole.size(), 2352u);
  EXPECT_TRUE(std::equal(whole.begin(), whole.end(), made.end() - 2352));

  // Asking for Mode 1 where Form 2 lies, and READ(10) of a Mode 2 track, are refused.
  vtest::Bytes buffer(2352);
  EXPECT_TRUE(vtest::hasSense(h.run(readCd(static_cast<std::int32_t>(layout->firstPackLba()), 1, 0x10, 2), &buffer),
                              0x05, 0x64, 0x00));
  EXPECT_TRUE(vtest::hasSense(h.run(vtest::read10(16, 1), &buffer), 0x05, 0x64, 0x00));
}

}  // namespace
}  // namespace emberline::video
