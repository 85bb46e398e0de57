#include <gtest/gtest.h>

#include "mmc/disc_information.h"
#include "mmc/toc.h"
#include "replay_transport.h"

namespace emberline::mmc {
namespace {

using emberline::testing::answer;
using emberline::testing::checkCondition;
using emberline::testing::ReplayTransport;
using Bytes = std::vector<std::uint8_t>;

const Bytes kReadDiscInfoCdb = {0x51, 0, 0, 0, 0, 0, 0, 0x00, 0x22, 0};

TEST(DiscInformation, BlankCdRShowsItsLeadInAndCapacity) {
  const Bytes blank = {0x00, 0x20, 0x00, 0x01, 0x01, 0x01, 0x01, 0x20, 0x00, 0x00, 0x00, 0x00,
                       0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x1A, 0x42, 0x00, 0x4F, 0x3B, 0x4A,
                       0,    0,    0,    0,    0,    0,    0,    0,    0x00, 0x00};
  ReplayTransport drive({answer(kReadDiscInfoCdb, blank)});
  auto info = readDiscInformation(drive);
  ASSERT_TRUE(info.ok()) << info.error().message;
  EXPECT_EQ(info->discStatus, DiscStatus::Blank);
  EXPECT_EQ(info->lastSessionState, SessionState::Empty);
  EXPECT_FALSE(info->erasable);
  EXPECT_TRUE(info->unrestrictedUse);
  EXPECT_EQ(info->sessions, 1);
  EXPECT_EQ(DiscInformation::addressToLba(info->lastSessionLeadIn, true), -11634);
  EXPECT_EQ(DiscInformation::addressToLba(info->lastPossibleLeadOut, true), 359849);
}

TEST(DiscInformation, ClosedMultisessionDiscIsComplete) {
  const Bytes closed = {0x00, 0x20, 0x0E, 0x01, 0x02, 0x02, 0x02, 0x20, 0x20, 0x00, 0x00, 0x00,
                        0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                        0,    0,    0,    0,    0,    0,    0,    0,    0x00, 0x00};
  ReplayTransport drive({answer(kReadDiscInfoCdb, closed)});
  auto info = readDiscInformation(drive);
  ASSERT_TRUE(info.ok());
  EXPECT_EQ(info->discStatus, DiscStatus::Complete);
  EXPECT_EQ(info->lastSessionState, SessionState::Complete);
  EXPECT_EQ(info->sessions, 2);
  EXPECT_EQ(info->firstTrackInLastSession, 2);
  EXPECT_EQ(info->discType, 0x20);
  EXPECT_EQ(info->lastPossibleLeadOut, 0xFFFFFFFFu);
}

TEST(DiscInformation, NoMediumCarriesSense) {
  ReplayTransport drive({checkCondition(kReadDiscInfoCdb, 0x02, 0x3A, 0x00)});
  auto info = readDiscInformation(drive);
  ASSERT_FALSE(info.ok());
  EXPECT_EQ(info.error().kind, ErrorKind::NotReady);
  EXPECT_EQ(info.error().message, "READ DISC INFORMATION failed: medium not present");
}

TEST(TrackInformation, InvisibleTrackOfABlankCdR) {
  Bytes reply(48, 0);
  reply[1] = 0x2E;
  reply[2] = 0x01;
  reply[3] = 0x01;
  reply[5] = 0x04;
  reply[6] = 0x4F;
  reply[7] = 0x01;
  reply[16] = 0x00, reply[17] = 0x05, reply[18] = 0x7D, reply[19] = 0xAA;
  reply[24] = 0x00, reply[25] = 0x05, reply[26] = 0x7D, reply[27] = 0xAA;
  ReplayTransport drive({answer({0x52, 0x01, 0, 0, 0, 0xFF, 0, 0x00, 0x30, 0}, reply)});
  auto track = readTrackInformation(drive, kInvisibleTrack);
  ASSERT_TRUE(track.ok()) << track.error().message;
  EXPECT_EQ(track->trackNumber, 1);
  EXPECT_TRUE(track->blank);
  EXPECT_EQ(track->dataMode, 0x0F);
  EXPECT_TRUE(track->nextWritableAddressValid);
  EXPECT_EQ(track->nextWritableAddress, 0);
  EXPECT_EQ(track->freeBlocks, 0x057DAAu);
  EXPECT_EQ(track->trackSize, 0x057DAAu);
}

TEST(TrackInformation, NegativeStartAddressSurvives) {
  Bytes reply(48, 0);
  reply[1] = 0x2E;
  reply[12] = 0xFF, reply[13] = 0xFF, reply[14] = 0xFF, reply[15] = 0x6A;
  EXPECT_EQ(decodeTrackInformation(reply).nextWritableAddress, -150);
}

TEST(Toc, FormatZeroInLbaAfterReadingTheHeader) {
  const Bytes toc = {0x00, 0x1A, 0x01, 0x02, 0x00, 0x14, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10,
                     0x02, 0x00, 0x00, 0x00, 0x2E, 0xE0, 0x00, 0x10, 0xAA, 0x00, 0x00, 0x01, 0x5F, 0x90};
  ReplayTransport drive({answer({0x43, 0, 0, 0, 0, 0, 0, 0x00, 0x04, 0}, Bytes(toc.begin(), toc.begin() + 4)),
                         answer({0x43, 0, 0, 0, 0, 0, 0, 0x00, 0x1C, 0}, toc)});
  auto result = readToc(drive);
  ASSERT_TRUE(result.ok()) << result.error().message;
  EXPECT_EQ(result->firstTrack, 1);
  EXPECT_EQ(result->lastTrack, 2);
  ASSERT_EQ(result->entries.size(), 3u);
  EXPECT_TRUE(result->entries[0].isData());
  EXPECT_FALSE(result->entries[1].isData());
  EXPECT_EQ(result->entries[1].lba, 12000);
  EXPECT_EQ(result->entries[2].track, kLeadOutTrack);
  EXPECT_EQ(result->entries[2].lba, 90000);
  EXPECT_EQ(result->response, toc);
}

TEST(Toc, MsfAddressesAreConvertedToLba) {
  const Bytes toc = {0x00, 0x12, 0x01, 0x01, 0x00, 0x14, 0x01, 0x00, 0x00, 0x00,
                     0x02, 0x00, 0x00, 0x14, 0xAA, 0x00, 0x00, 0x14, 0x00, 0x00};
  const Toc decoded = decodeToc(toc, AddressForm::Msf);
  ASSERT_EQ(decoded.entries.size(), 2u);
  EXPECT_EQ(decoded.entries[0].lba, 0);
  EXPECT_EQ(decoded.entries[1].lba, 20 * 60 * 75 - 150);
}

TEST(Toc, SessionInfoGivesTheLastSessionStart) {
  const Bytes info = {0x00, 0x0A, 0x01, 0x02, 0x00, 0x14, 0x02, 0x00, 0x00, 0x00, 0xDA, 0xC0};
  ReplayTransport drive({answer({0x43, 0, 0x01, 0, 0, 0, 0, 0x00, 0x04, 0}, Bytes(info.begin(), info.begin() + 4)),
                         answer({0x43, 0, 0x01, 0, 0, 0, 0, 0x00, 0x0C, 0}, info)});
  auto session = readSessionInfo(drive);
  ASSERT_TRUE(session.ok());
  EXPECT_EQ(session->lastSession, 2);
  EXPECT_EQ(session->firstTrackInLastSession, 2);
  EXPECT_EQ(session->lastSessionStartLba, 56000);
}

TEST(Toc, FullTocOfATwoSessionDisc) {
  const Bytes entries[] = {{0x01, 0x14, 0x00, 0xA0, 0, 0, 0, 0, 0x01, 0x20, 0x00},
                           {0x01, 0x14, 0x00, 0xA1, 0, 0, 0, 0, 0x01, 0x00, 0x00},
                           {0x01, 0x14, 0x00, 0xA2, 0, 0, 0, 0, 0x0A, 0x00, 0x00},
                           {0x01, 0x54, 0x00, 0xB0, 0x0C, 0x20, 0x00, 0x02, 0x4F, 0x3B, 0x4A},
                           {0x01, 0x14, 0x00, 0x01, 0, 0, 0, 0, 0x00, 0x02, 0x00},
                           {0x02, 0x14, 0x00, 0xA0, 0, 0, 0, 0, 0x02, 0x20, 0x00},
                           {0x02, 0x14, 0x00, 0xA1, 0, 0, 0, 0, 0x02, 0x00, 0x00},
                           {0x02, 0x14, 0x00, 0xA2, 0, 0, 0, 0, 0x14, 0x00, 0x00},
                           {0x02, 0x14, 0x00, 0x02, 0, 0, 0, 0, 0x0C, 0x22, 0x00}};
  Bytes reply = {0x00, 0x65, 0x01, 0x02};
  for (const auto& e : entries) reply.insert(reply.end(), e.begin(), e.end());
  ReplayTransport drive(
      {answer({0x43, 0x02, 0x02, 0, 0, 0, 0x01, 0x00, 0x04, 0}, Bytes(reply.begin(), reply.begin() + 4)),
       answer({0x43, 0x02, 0x02, 0, 0, 0, 0x01, 0x00, 0x67, 0}, reply)});
  auto toc = readFullToc(drive);
  ASSERT_TRUE(toc.ok()) << toc.error().message;
  EXPECT_EQ(toc->lastSession, 2);
  ASSERT_EQ(toc->entries.size(), 9u);
  EXPECT_EQ(toc->entries[0].point, 0xA0);
  EXPECT_EQ(toc->entries[0].ptime.second, 0x20);  // disc type XA
  EXPECT_EQ(toc->entries[3].adr, 5);
  EXPECT_EQ(toc->entries[3].point, 0xB0);
  EXPECT_EQ(toc->entries[3].atime, (Msf{12, 32, 0}));
  EXPECT_EQ(toc->entries[8].session, 2);
  EXPECT_EQ(toc->entries[8].ptime.toLba(), 12 * 4500 + 34 * 75 - 150);
}

TEST(Toc, AtipOfACdRw) {
  Bytes atip(28, 0);
  atip[1] = 0x1A;
  atip[4] = 0xD2;
  atip[6] = 0xC4;
  atip[8] = 0x61, atip[9] = 0x1A, atip[10] = 0x42;
  atip[12] = 0x4F, atip[13] = 0x3B, atip[14] = 0x4A;
  atip[16] = 0x11, atip[17] = 0x22, atip[18] = 0x33;
  ReplayTransport drive({answer({0x43, 0x02, 0x04, 0, 0, 0, 0, 0x00, 0x04, 0}, Bytes(atip.begin(), atip.begin() + 4)),
                         answer({0x43, 0x02, 0x04, 0, 0, 0, 0, 0x00, 0x1C, 0}, atip)});
  auto result = readAtip(drive);
  ASSERT_TRUE(result.ok()) << result.error().message;
  EXPECT_TRUE(result->rewritable);
  EXPECT_EQ(result->writingPower, 5);
  EXPECT_EQ(result->referenceSpeed, 2);
  EXPECT_TRUE(result->a1Valid);
  EXPECT_EQ(result->leadInStart.toLba(), -11634);
  EXPECT_EQ(result->lastLeadOutStart.toLba(), 359849);
  EXPECT_EQ(result->a1[2], 0x33);
}

TEST(Toc, PressedDiscWithoutAtipIsNotSupported) {
  ReplayTransport drive({answer({0x43, 0x02, 0x04, 0, 0, 0, 0, 0x00, 0x04, 0}, {0x00, 0x02, 0x00, 0x00})});
  auto result = readAtip(drive);
  ASSERT_FALSE(result.ok());
  EXPECT_EQ(result.error().kind, ErrorKind::NotSupported);
}

}  // namespace
}  // namespace emberline::mmc
