// The disc plan and the MPEG track's sectors, from the generated sources.

#include "video/vcd_disc_layout.h"

#include <gtest/gtest.h>

#include <array>

#include "sector/cd_sector.h"
#include "video/vcd_track_source.h"
#include "video_fixtures.h"

namespace emberline::video {
namespace {

using video_test::fixture;

MpegStreamFacts checked(const char* file, VideoDiscKind kind) {
  auto facts = checkMpegStream(fixture(file), kind);
  EXPECT_TRUE(facts) << facts.error().message;
  return facts ? facts.value() : MpegStreamFacts{};
}

TEST(VcdDiscLayout, VideoCdTracksAndFiles) {
  const MpegStreamFacts facts = checked("vcd-pal.mpg", VideoDiscKind::VideoCd);
  auto layout = planVcdDisc(facts, "Album VideoCD");
  ASSERT_TRUE(layout) << layout.error().message;
  EXPECT_EQ(layout->trackOneSectors, 300u);
  EXPECT_EQ(layout->pregapLba, 300u);
  EXPECT_EQ(layout->trackTwoLba, 450u);
  EXPECT_EQ(layout->frontMarginSectors, 30u);
  EXPECT_EQ(layout->rearMarginSectors, 45u);
  EXPECT_EQ(layout->packCount, facts.packCount);
  EXPECT_EQ(layout->leadOutLba, 450u + 30 + facts.packCount + 45 + 150);

  ASSERT_EQ(layout->files.size(), 3u);
  EXPECT_EQ(layout->files[0].path, "VCD/INFO.VCD");
  EXPECT_EQ(layout->files[0].lba, 150u);
  EXPECT_EQ(layout->files[1].path, "VCD/ENTRIES.VCD");
  EXPECT_EQ(layout->files[1].lba, 151u);
  const VcdFileExtent& mpeg = layout->mpegFile();
  EXPECT_EQ(mpeg.path, "MPEGAV/AVSEQ01.DAT");
  EXPECT_TRUE(mpeg.form2);
  EXPECT_EQ(mpeg.lba, layout->trackTwoLba);
  EXPECT_EQ(mpeg.size, std::uint64_t{30 + facts.packCount + 45} * 2048);

  // One entry, at the start of the stream; the album id in INFO.
  ASSERT_EQ(layout->entries.size(), 1u);
  EXPECT_EQ(layout->entries[0].address.toLba(), static_cast<std::int32_t>(layout->firstPackLba()));
  EXPECT_EQ(std::string(layout->files[0].contents.begin() + 10, layout->files[0].contents.begin() + 26),
            "Album VideoCD   ");
  EXPECT_EQ(layout->files[0].contents[30], 1);  // PAL
}

TEST(VcdDiscLayout, SuperVideoCdHasSearchPointsAndNoMargins) {
  const MpegStreamFacts facts = checked("svcd-ntsc.mpg", VideoDiscKind::SuperVideoCd);
  auto layout = planVcdDisc(facts, "Album VideoCD");
  ASSERT_TRUE(layout) << layout.error().message;
  EXPECT_EQ(layout->frontMarginSectors, 0u);
  EXPECT_EQ(layout->rearMarginSectors, 0u);
  // A short track is lengthened to the shortest a recorder takes.
  EXPECT_GE(layout->packCount + layout->postgapSectors, 300u);
  ASSERT_EQ(layout->files.size(), 5u);
  EXPECT_EQ(layout->files[2].path, "SVCD/TRACKS.SVD");
  EXPECT_EQ(layout->files[3].path, "SVCD/SEARCH.DAT");
  EXPECT_EQ(layout->mpegFile().path, "MPEG2/AVSEQ01.MPG");
  EXPECT_EQ(layout->files[0].contents[30], 0);  // NTSC

  // One scan point per half second, in disc order, each on an access point.
  EXPECT_EQ(layout->scanPoints.size(), static_cast<std::size_t>(std::ceil(facts.durationSeconds * 2)));
  for (std::size_t i = 0; i < layout->scanPoints.size(); ++i) {
    const std::int32_t lba = layout->scanPoints[i].toLba();
    if (i > 0) {
      EXPECT_GE(lba, layout->scanPoints[i - 1].toLba());
    }
    const auto pack = static_cast<std::uint64_t>(lba) - layout->firstPackLba();
    EXPECT_TRUE(std::any_of(facts.accessPoints.begin(), facts.accessPoints.end(),
                            [&](const MpegAccessPoint& a) { return a.packIndex == pack; }));
  }
}

TEST(VcdTrackSource, PacksBecomeFormTwoSectorsWithTheirSubheaders) {
  const MpegStreamFacts facts = checked("vcd-ntsc.mpg", VideoDiscKind::VideoCd);
  auto layout = planVcdDisc(facts, "");
  ASSERT_TRUE(layout);
  auto source = VcdTrackSource::open(fixture("vcd-ntsc.mpg"), *layout);
  ASSERT_TRUE(source) << source.error().message;
  ASSERT_EQ((*source)->blockCount(), layout->trackTwoSectors());
  const std::vector<std::uint8_t> original = video_test::readFile(fixture("vcd-ntsc.mpg"));

  std::vector<std::uint8_t> rebuilt;
  std::array<std::uint8_t, sector::kRawSectorSize> raw{};
  std::array<std::uint8_t, sector::kForm2DataSize> data{};
  bool sawVideo = false, sawAudio = false;
  for (std::uint32_t i = 0; i < (*source)->blockCount(); ++i) {
    ASSERT_TRUE((*source)->read(raw)) << "sector " << i;
    const sector::SectorInfo info = sector::inspect(raw);
    ASSERT_EQ(info.kind, sector::SectorKind::Mode2Form2) << i;
    ASSERT_TRUE(info.edcValid) << i;
    EXPECT_EQ(info.lba, static_cast<std::int32_t>(layout->pregapLba + i));
    sector::Subheader sub;
    ASSERT_TRUE(sector::decodeMode2Form2(raw, data, &sub));
    const std::uint32_t packsFrom = layout->pregapSectors + layout->frontMarginSectors;
    if (i >= packsFrom && i < packsFrom + layout->packCount) {
      rebuilt.insert(rebuilt.end(), data.begin(), data.end());
      EXPECT_EQ(sub.file, 1);
      sawVideo = sawVideo || sub == layout->subheaders.video;
      sawAudio = sawAudio || sub == layout->subheaders.audio;
      if (i + 1 == packsFrom + layout->packCount) {
        EXPECT_TRUE(sub.submode & sector::submode::kEndOfRecord);
      }
    } else if (i < layout->pregapSectors || i >= packsFrom + layout->packCount + layout->rearMarginSectors) {
      EXPECT_EQ(sub, (sector::Subheader{0, 0, sector::submode::kForm2, 0})) << i;
    } else {
      EXPECT_EQ(sub.file, 1);
      EXPECT_TRUE(std::all_of(data.begin(), data.end(), [](std::uint8_t b) { return b == 0; }));
    }
  }
  EXPECT_TRUE(sawVideo);
  EXPECT_TRUE(sawAudio);
  EXPECT_EQ(rebuilt, original);
  EXPECT_FALSE((*source)->read(raw));  // nothing past the track
}

TEST(VcdTrackSource, RefusesASourceThatChangedAfterTheCheck) {
  const MpegStreamFacts facts = checked("vcd-pal.mpg", VideoDiscKind::VideoCd);
  auto layout = planVcdDisc(facts, "");
  ASSERT_TRUE(layout);
  const auto dir = video_test::scratch("changed-source");
  auto bytes = video_test::readFile(fixture("vcd-pal.mpg"));
  bytes.resize(bytes.size() - 10 * sector::kForm2DataSize);  // ten packs fewer
  video_test::writeFile((dir / "short.mpg").string(), bytes);

  auto source = VcdTrackSource::open((dir / "short.mpg").string(), *layout);
  ASSERT_TRUE(source);
  std::vector<std::uint8_t> buffer(sector::kRawSectorSize * (*source)->blockCount());
  auto read = (*source)->read(buffer);
  ASSERT_FALSE(read);
  EXPECT_NE(read.error().message.find("changed after it was checked"), std::string::npos) << read.error().message;
}

}  // namespace
}  // namespace emberline::video
