// Track 1 as built for a Video CD and a Super Video CD: the file system a
// reader sees in its Form 1 user data, and the subheaders of its sectors.

#include "video/vcd_track_one.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "video_fixtures.h"

namespace emberline::video {
namespace {

using video_test::fixture;

struct TrackOne {
  VcdDiscLayout layout;
  std::vector<std::uint8_t> raw;  ///< every sector, 2352 bytes each
  std::filesystem::path iso;      ///< the sectors' user data

  std::uint8_t submode(std::uint32_t lba) const { return raw[lba * sector::kRawSectorSize + 18]; }
};

TrackOne buildTrackOne(const std::string& file, VideoDiscKind kind) {
  TrackOne t;
  auto facts = checkMpegStream(fixture(file), kind);
  EXPECT_TRUE(facts) << facts.error().message;
  auto layout = planVcdDisc(facts.value(), "Album VideoCD");
  EXPECT_TRUE(layout) << layout.error().message;
  t.layout = layout.value();
  auto source = VcdTrackOneSource::build(t.layout);
  EXPECT_TRUE(source) << source.error().message;
  EXPECT_EQ((*source)->blockCount(), t.layout.trackOneSectors);
  t.raw.resize(std::size_t{t.layout.trackOneSectors} * sector::kRawSectorSize);
  EXPECT_TRUE((*source)->read(t.raw));
  EXPECT_FALSE((*source)->read(std::span(t.raw).first(sector::kRawSectorSize))) << "a read past the end fails";

  std::vector<std::uint8_t> user;
  for (std::size_t at = 0; at < t.raw.size(); at += sector::kRawSectorSize) {
    EXPECT_EQ(t.raw[at + 15], 2) << "Mode 2";
    EXPECT_EQ(t.raw[at + 18] & 0x20, 0) << "Form 1";
    user.insert(user.end(), t.raw.begin() + static_cast<std::ptrdiff_t>(at + 24),
                t.raw.begin() + static_cast<std::ptrdiff_t>(at + 24 + 2048));
  }
  t.iso = video_test::scratch("track-one-" + file) / "track1.iso";
  video_test::writeFile(t.iso.string(), user);
  return t;
}

TEST(VcdTrackOne, AVideoCdFileSystemCarriesTheXaFieldsAndPointsIntoTrackTwo) {
  const TrackOne t = buildTrackOne("vcd-pal.mpg", VideoDiscKind::VideoCd);
  const std::string volume = video_test::runCommand("iso-info --no-header -d -i '" + t.iso.string() + "' 2>&1");
  EXPECT_NE(volume.find("CD-RTOS CD-BRIDGE"), std::string::npos) << volume;
  EXPECT_NE(volume.find("VIDEOCD"), std::string::npos) << volume;
  const std::vector<std::uint8_t> user = video_test::readFile(t.iso.string());
  EXPECT_EQ(std::string(user.begin() + 16 * 2048 + 1024, user.begin() + 16 * 2048 + 1032), "CD-XA001");

  const std::string listing = video_test::runCommand("iso-info --no-header -l -i '" + t.iso.string() + "' 2>&1");
  // The information files are Form 1 data of file 0 at their fixed sectors; the
  // MPEG file is Form 2 data of file 1 where track 2's first pack lies.
  EXPECT_NE(listing.find("----1xrxrxr 0 0 [fn 00] [LSN    150]"), std::string::npos) << listing;
  EXPECT_NE(listing.find("----1xrxrxr 0 0 [fn 00] [LSN    151]"), std::string::npos) << listing;
  char mpeg[64];
  std::snprintf(mpeg, sizeof mpeg, "---2-xrxrxr 0 0 [fn 01] [LSN %6u]", t.layout.mpegFile().lba);
  EXPECT_NE(listing.find(mpeg), std::string::npos) << listing;
  EXPECT_EQ(listing.find("1970"), std::string::npos) << "every record carries a real date\n" << listing;
  // Folders are Form 1 data of track 1 too, as their XA attributes say.
  EXPECT_NE(listing.find("d---1xrxrxr 0 0 [fn 00]"), std::string::npos) << listing;
  EXPECT_EQ(listing.find("d----"), std::string::npos) << listing;

  // The information file's bytes are where its record says.
  EXPECT_EQ(video_test::runCommand("isoinfo -i '" + t.iso.string() + "' -x '/VCD/INFO.VCD;1'"),
            std::string(t.layout.files.front().contents.begin(), t.layout.files.front().contents.end()));

  EXPECT_EQ(t.submode(16), 0x09) << "primary descriptor";
  EXPECT_EQ(t.submode(17), 0x89) << "descriptor set terminator";
  EXPECT_EQ(t.submode(150), 0x89) << "INFO.VCD ends in its one sector";
  EXPECT_EQ(t.submode(t.layout.trackOneSectors - 1), 0x08);
}

TEST(VcdTrackOne, ASuperVideoCdNamesItsVolumeAndHoldsTheSearchFile) {
  const TrackOne t = buildTrackOne("svcd-ntsc.mpg", VideoDiscKind::SuperVideoCd);
  const std::string volume = video_test::runCommand("iso-info --no-header -d -i '" + t.iso.string() + "' 2>&1");
  EXPECT_NE(volume.find("SUPERVCD"), std::string::npos) << volume;
  const std::string listing = video_test::runCommand("iso-info --no-header -l -i '" + t.iso.string() + "' 2>&1");
  for (const char* name : {"info.svd", "entries.svd", "tracks.svd", "search.dat", "avseq01.mpg"}) {
    EXPECT_NE(listing.find(name), std::string::npos) << name << "\n" << listing;
  }
  for (const VcdFileExtent& f : t.layout.files) {
    if (f.form2) continue;
    EXPECT_EQ(t.submode(f.lba + f.sectors - 1), 0x89) << f.path;
    const std::string path = "/" + f.path + ";1";
    EXPECT_EQ(video_test::runCommand("isoinfo -i '" + t.iso.string() + "' -x '" + path + "'"),
              std::string(f.contents.begin(), f.contents.end()))
        << f.path;
  }
}

}  // namespace
}  // namespace emberline::video
