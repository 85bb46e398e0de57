// The SEND CUE SHEET model: entry bytes, the data disc builder's layout, and
// the checks that keep a malformed cue sheet away from the drive.

#include "sector/cue_sheet.h"

#include <gtest/gtest.h>

#include <vector>

namespace emberline::sector {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CueEntry, EncodesTheEightMmcBytesWithBinaryMsf) {
  CueEntry e;
  e.control = control::kDataTrack | control::kCopyPermitted;
  e.track = 12;
  e.index = 1;
  e.form = DataForm::Mode2Xa;
  e.serialCopyManagement = true;
  e.address = Msf{61, 59, 74};
  const auto bytes = e.encode();
  EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), (Bytes{0x61, 12, 1, 0x20, 0x80, 61, 59, 74}));

  CueEntry leadIn;
  leadIn.form = DataForm::AudioGenerated;
  leadIn.cdText = true;
  EXPECT_EQ(leadIn.encode()[3], 0x41);
}

TEST(DataDiscCue, OneMode1TrackGivesLeadInPregapTrackAndLeadOut) {
  const std::vector<DataTrack> tracks{{TrackMode::Mode1, 1000}};
  auto built = buildDataDiscCue(tracks);
  ASSERT_TRUE(built.ok()) << built.error().message;
  EXPECT_EQ(built->sheet.encode(), (Bytes{
                                       0x41, 0x00, 0x00, 0x14, 0x00, 0, 0,  0,   // lead-in
                                       0x41, 0x01, 0x00, 0x10, 0x00, 0, 0,  0,   // track 1 pregap
                                       0x41, 0x01, 0x01, 0x10, 0x00, 0, 2,  0,   // track 1 at LBA 0
                                       0x41, 0xAA, 0x01, 0x14, 0x00, 0, 15, 25,  // lead-out at LBA 1000
                                   }));
  ASSERT_EQ(built->tracks.size(), 1u);
  EXPECT_EQ(built->tracks[0].pregapStart, -150);
  EXPECT_EQ(built->tracks[0].start, 0);
  EXPECT_EQ(built->leadOutStart, 1000);
}

TEST(DataDiscCue, ModeChangeGetsAPregapAndSameModeDoesNot) {
  const std::vector<DataTrack> tracks{{TrackMode::Mode2Xa, 400}, {TrackMode::Mode2Xa, 300}, {TrackMode::Mode1, 500}};
  auto built = buildDataDiscCue(tracks);
  ASSERT_TRUE(built.ok()) << built.error().message;
  const auto& t = built->tracks;
  ASSERT_EQ(t.size(), 3u);
  EXPECT_EQ(t[1].pregapStart, 400);
  EXPECT_EQ(t[1].start, 400);
  EXPECT_EQ(t[2].pregapStart, 700);
  EXPECT_EQ(t[2].start, 850);
  EXPECT_EQ(built->leadOutStart, 1350);

  const auto& e = built->sheet.entries;
  ASSERT_EQ(e.size(), 7u);  // lead-in, 1/0, 1/1, 2/1, 3/0, 3/1, lead-out
  EXPECT_EQ(e[0].form, DataForm::Mode2XaGenerated);
  EXPECT_EQ(e[3].track, 2);
  EXPECT_EQ(e[3].index, 1);
  EXPECT_EQ(e[4].form, DataForm::Mode1);
  EXPECT_EQ(e[4].address, Msf::fromLba(700));
  EXPECT_EQ(e[6].form, DataForm::Mode1Generated);
}

TEST(DataDiscCue, AnAskedPregapIsKeptEvenWithoutAModeChange) {
  // Two tracks of whole XA sectors, the second with its own two-second pregap.
  const std::vector<DataTrack> tracks{{TrackMode::Mode2XaRaw, 300}, {TrackMode::Mode2XaRaw, 600, 150}};
  auto built = buildDataDiscCue(tracks);
  ASSERT_TRUE(built.ok()) << built.error().message;
  EXPECT_EQ(built->tracks[1].pregapStart, 300);
  EXPECT_EQ(built->tracks[1].start, 450);
  EXPECT_EQ(built->leadOutStart, 1050);
  const auto& e = built->sheet.entries;
  ASSERT_EQ(e.size(), 6u);  // lead-in, 1/0, 1/1, 2/0, 2/1, lead-out
  EXPECT_EQ(e[3].index, 0);
  EXPECT_EQ(e[3].form, DataForm::Mode2XaRaw);
  EXPECT_EQ(e[5].form, DataForm::Mode2XaGenerated);

  const std::vector<DataTrack> firstWithout{{TrackMode::Mode1, 300, 0}};
  EXPECT_FALSE(buildDataDiscCue(firstWithout).ok()) << "the first track always has 150";
  const std::vector<DataTrack> negative{{TrackMode::Mode1, 300}, {TrackMode::Mode1, 300, -1}};
  EXPECT_FALSE(buildDataDiscCue(negative).ok());
}

TEST(DataDiscCue, RejectsShortTracksEmptyDiscsAndOverlongLayouts) {
  EXPECT_FALSE(buildDataDiscCue({}).ok());
  const std::vector<DataTrack> shortTrack{{TrackMode::Mode1, 1000}, {TrackMode::Mode1, 299}};
  auto r = buildDataDiscCue(shortTrack);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.error().kind, ErrorKind::InvalidArgument);
  EXPECT_NE(r.error().message.find("track 2"), std::string::npos) << r.error().message;
  const std::vector<DataTrack> huge(3, DataTrack{TrackMode::Mode1, 200000});
  EXPECT_FALSE(buildDataDiscCue(huge).ok());
  const std::vector<DataTrack> tooMany(100, DataTrack{TrackMode::Mode1, 300});
  EXPECT_FALSE(buildDataDiscCue(tooMany).ok());
}

// Each case breaks one rule of a valid two-track sheet (lead-in, 1/0, 1/1,
// 2/0, 2/1, lead-out) and names the words the error must contain.
struct Breakage {
  const char* expected;
  void (*breakIt)(std::vector<CueEntry>&);
};

TEST(CueSheetValidation, EachBrokenRuleIsRefusedWithItsReason) {
  const std::vector<DataTrack> tracks{{TrackMode::Mode1, 400}, {TrackMode::Mode2Xa, 400}};
  auto built = buildDataDiscCue(tracks);
  ASSERT_TRUE(built.ok());
  ASSERT_TRUE(validateCueSheet(built->sheet).ok());

  const Breakage cases[] = {
      {"does not follow track 1", [](auto& e) { e[3].track = e[4].track = 3; }},
      {"does not follow", [](auto& e) { e[3].address = e[2].address; }},
      {"track 1 is shorter than 300",
       [](auto& e) { e[3].address = Msf::fromLba(299), e[4].address = Msf::fromLba(449); }},
      {"track 2 is shorter", [](auto& e) { e[5].address = Msf::fromLba(e[4].address.toLba() + 299); }},
      {"has no index 01", [](auto& e) { e.erase(e.begin() + 2); }},
      {"lead-in", [](auto& e) { e.erase(e.begin()); }},
      {"lead-out", [](auto& e) { e.pop_back(); }},
      {"not a valid MSF", [](auto& e) { e[2].address.frame = 75; }},
      {"above 99", [](auto& e) { e[2].track = 100; }},
      {"CD-TEXT", [](auto& e) { e[2].cdText = true; }},
  };
  for (const Breakage& c : cases) {
    CueSheet sheet = built->sheet;
    c.breakIt(sheet.entries);
    const Status s = validateCueSheet(sheet);
    ASSERT_FALSE(s.ok()) << c.expected;
    EXPECT_EQ(s.error().kind, ErrorKind::InvalidArgument);
    EXPECT_NE(s.error().message.find(c.expected), std::string::npos) << s.error().message;
  }
}

}  // namespace
}  // namespace emberline::sector
