// The information files against their byte layouts.

#include "video/vcd_info_files.h"

#include <gtest/gtest.h>

#include <string>

#include "video/svcd_search_files.h"

namespace emberline::video {
namespace {

std::string text(const std::uint8_t* p, std::size_t n) {
  return std::string(reinterpret_cast<const char*>(p), n);
}

TEST(VcdInfoFiles, DiscInfoOfBothKinds) {
  VcdDiscInfo info;
  info.albumId = "Album VideoCD";
  info.palTracks = {true};
  auto vcd = encodeDiscInfo(info);
  ASSERT_TRUE(vcd) << vcd.error().message;
  EXPECT_EQ(text(vcd->data(), 8), "VIDEO_CD");
  EXPECT_EQ((*vcd)[8], 2);  // Video CD 2.0
  EXPECT_EQ((*vcd)[9], 0);
  EXPECT_EQ(text(vcd->data() + 10, 16), "Album VideoCD   ");
  EXPECT_EQ((*vcd)[26], 0);
  EXPECT_EQ((*vcd)[27], 1);     // one disc in the album
  EXPECT_EQ((*vcd)[29], 1);     // and this is it
  EXPECT_EQ((*vcd)[30], 0x01);  // track 2 is PAL
  for (std::size_t i = 31; i < kInfoFileSize; ++i) ASSERT_EQ((*vcd)[i], 0) << "byte " << i;

  info.kind = VideoDiscKind::SuperVideoCd;
  info.palTracks = {false, false, false, false, false, false, false, false, false, true};
  auto svcd = encodeDiscInfo(info);
  ASSERT_TRUE(svcd);
  EXPECT_EQ(text(svcd->data(), 8), "SUPERVCD");
  EXPECT_EQ((*svcd)[8], 1);
  EXPECT_EQ((*svcd)[30], 0x00);
  EXPECT_EQ((*svcd)[31], 0x02);  // the tenth track: second byte, bit 1
}

TEST(VcdInfoFiles, DiscInfoRefusesWhatCannotBeRecorded) {
  VcdDiscInfo info;
  info.palTracks = {false};
  info.albumId = "An album id that is too long";
  EXPECT_FALSE(encodeDiscInfo(info));
  info.albumId = "Caf\xc3\xa9";
  EXPECT_FALSE(encodeDiscInfo(info));
  info.albumId = "";
  info.palTracks.clear();
  EXPECT_FALSE(encodeDiscInfo(info));
  info.palTracks = {false};
  info.volumeNumber = 2;
  EXPECT_FALSE(encodeDiscInfo(info));
}

TEST(VcdInfoFiles, EntriesInBcd) {
  auto file = encodeEntries(VideoDiscKind::VideoCd, {{2, Msf{0, 8, 0}}, {2, Msf{12, 34, 56}}});
  ASSERT_TRUE(file) << file.error().message;
  EXPECT_EQ(text(file->data(), 8), "ENTRYVCD");
  EXPECT_EQ((*file)[8], 2);
  EXPECT_EQ((*file)[10], 0);
  EXPECT_EQ((*file)[11], 2);
  const std::uint8_t expected[] = {0x02, 0x00, 0x08, 0x00, 0x02, 0x12, 0x34, 0x56};
  for (std::size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ((*file)[12 + i], expected[i]) << i;
  EXPECT_EQ((*file)[20], 0);

  auto svcd = encodeEntries(VideoDiscKind::SuperVideoCd, {{2, Msf{0, 8, 0}}});
  ASSERT_TRUE(svcd);
  EXPECT_EQ(text(svcd->data(), 8), "ENTRYVCD");  // the Super Video CD keeps the identifier
  EXPECT_EQ((*svcd)[8], 1);
}

TEST(VcdInfoFiles, EntriesRefuseBadTables) {
  EXPECT_FALSE(encodeEntries(VideoDiscKind::VideoCd, {}));
  EXPECT_FALSE(encodeEntries(VideoDiscKind::VideoCd, {{1, Msf{0, 2, 0}}}));
  EXPECT_FALSE(encodeEntries(VideoDiscKind::VideoCd, {{2, Msf{0, 9, 0}}, {2, Msf{0, 8, 0}}}));
  EXPECT_FALSE(encodeEntries(VideoDiscKind::VideoCd, std::vector<VcdEntryPoint>(501, {2, Msf{0, 8, 0}})));
  EXPECT_TRUE(encodeEntries(VideoDiscKind::VideoCd, std::vector<VcdEntryPoint>(500, {2, Msf{0, 8, 0}})));
}

TEST(SvcdSearchFiles, TracksAndSearchLayouts) {
  auto tracks = encodeSvcdTracks({{Msf{1, 2, 3}, true, true}, {Msf{0, 59, 74}, false, false}});
  ASSERT_TRUE(tracks);
  ASSERT_EQ(tracks->size(), 2048u);
  EXPECT_EQ(text(tracks->data(), 8), "TRACKSVD");
  EXPECT_EQ((*tracks)[8], 1);
  EXPECT_EQ((*tracks)[10], 2);
  const std::uint8_t times[] = {0x01, 0x02, 0x03, 0x00, 0x59, 0x74};
  for (std::size_t i = 0; i < sizeof times; ++i) EXPECT_EQ((*tracks)[11 + i], times[i]) << i;
  EXPECT_EQ((*tracks)[17], 0x1D);  // PAL motion picture, one audio stream
  EXPECT_EQ((*tracks)[18], 0x0C);  // NTSC motion picture, no audio
  EXPECT_EQ((*tracks)[19], 0);
  EXPECT_FALSE(encodeSvcdTracks({}));

  auto search = encodeSvcdSearch({Msf{0, 8, 0}, Msf{0, 8, 40}, Msf{0, 9, 5}});
  ASSERT_TRUE(search);
  ASSERT_EQ(search->size(), 13u + 3 * 3);
  EXPECT_EQ(text(search->data(), 8), "SEARCHSV");
  EXPECT_EQ((*search)[8], 1);
  EXPECT_EQ((*search)[10], 0);
  EXPECT_EQ((*search)[11], 3);
  EXPECT_EQ((*search)[12], 1);  // half-second interval
  EXPECT_EQ((*search)[13 + 4], 0x08);
  EXPECT_EQ((*search)[13 + 5], 0x40);
  EXPECT_FALSE(encodeSvcdSearch({}));
}

}  // namespace
}  // namespace emberline::video
