#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "mmc/cue_sheet.h"
#include "mmc/recording_commands.h"
#include "mmc/speed_commands.h"
#include "mmc/wait_until_ready.h"
#include "replay_transport.h"

namespace emberline::mmc {
namespace {

using emberline::testing::answer;
using emberline::testing::checkCondition;
using emberline::testing::ReplayTransport;
using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

const Bytes kTur = {0, 0, 0, 0, 0, 0};

TEST(RecordingCommands, SendTheExpectedCdbs) {
  Bytes block(2 * 2048, 0xAB);
  ReplayTransport drive(
      {answer({0x54, 0x01, 0, 0, 0, 0, 0, 0, 0, 0}), answer({0x2A, 0, 0xFF, 0xFF, 0xFF, 0x6A, 0, 0x00, 0x02, 0}),
       answer({0x53, 0, 0, 0, 0, 0x00, 0x01, 0x00, 0x00, 0}), answer({0x35, 0x02, 0, 0, 0, 0, 0, 0, 0, 0}),
       answer({0x5B, 0x01, 0x02, 0, 0x00, 0x00, 0, 0, 0, 0}), answer({0x5B, 0x00, 0x01, 0, 0x00, 0x03, 0, 0, 0, 0}),
       answer({0xA1, 0x11, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
       answer({0xBB, 0, 0xFF, 0xFF, 0x06, 0xE4, 0, 0, 0, 0, 0, 0})});
  EXPECT_TRUE(sendOpcInformation(drive).ok());
  EXPECT_TRUE(write10(drive, -150, 2, block).ok());
  EXPECT_TRUE(reserveTrack(drive, 0x10000).ok());
  EXPECT_TRUE(synchronizeCache(drive, true).ok());
  EXPECT_TRUE(closeTrackSession(drive, CloseFunction::Session, 0, true).ok());
  EXPECT_TRUE(closeTrackSession(drive, CloseFunction::Track, 3, false).ok());
  EXPECT_TRUE(blank(drive, BlankType::Minimal, 0, true).ok());
  EXPECT_TRUE(setCdSpeed(drive, kMaximumSpeed, 1764).ok());
  ASSERT_EQ(drive.sentData.size(), 1u);
  EXPECT_EQ(drive.sentData[0].size(), block.size());
}

TEST(RecordingCommands, WriteErrorCarriesItsSense) {
  Bytes block(2048, 0);
  ReplayTransport drive({checkCondition({0x2A, 0, 0, 0, 0x10, 0, 0, 0x00, 0x01, 0}, 0x03, 0x0C, 0x00)});
  auto status = write10(drive, 4096, 1, block);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().senseKey, 0x03);
  EXPECT_EQ(status.error().message, "WRITE(10) failed: write error");
}

TEST(RecordingCommands, WriteRefusesDataThatIsNotWholeBlocks) {
  ReplayTransport drive({});
  Bytes odd(3000, 0);
  EXPECT_EQ(write10(drive, 0, 2, odd).error().kind, ErrorKind::InvalidArgument);
  Bytes shortOfTwoBlocks(2048, 0);
  EXPECT_EQ(write10(drive, 0, 2, shortOfTwoBlocks).error().kind, ErrorKind::InvalidArgument);
}

TEST(RecordingCommands, BufferCapacityIsDecoded) {
  ReplayTransport drive({answer({0x5C, 0, 0, 0, 0, 0, 0, 0x00, 0x0C, 0},
                                {0x00, 0x0A, 0, 0, 0x00, 0x20, 0x00, 0x00, 0x00, 0x1F, 0x80, 0x00})});
  auto capacity = readBufferCapacity(drive);
  ASSERT_TRUE(capacity.ok());
  EXPECT_EQ(capacity->bufferLength, 0x200000u);
  EXPECT_EQ(capacity->blankLength, 0x1F8000u);
}

sector::CueEntry cueEntry(std::uint8_t track, std::uint8_t index, sector::DataForm form, std::int32_t lba) {
  sector::CueEntry e;
  e.control = sector::control::kDataTrack;
  e.track = track;
  e.index = index;
  e.form = form;
  e.address = Msf::fromLba(lba);
  return e;
}

TEST(CueSheet, EncodesEightByteEntriesAndTheirCount) {
  sector::CueSheet entries;
  entries.entries = {
      cueEntry(sector::kLeadInTrack, 0, sector::DataForm::Mode2XaGenerated, -150),
      cueEntry(1, 0, sector::DataForm::Mode2Xa, -150),
      cueEntry(1, 1, sector::DataForm::Mode2Xa, 0),
      cueEntry(sector::kLeadOutTrack, 1, sector::DataForm::Mode2XaGenerated, 300000),
  };
  ReplayTransport drive({answer({0x5D, 0, 0, 0, 0, 0, 0x00, 0x00, 0x20, 0})});
  ASSERT_TRUE(sendCueSheet(drive, entries).ok());
  const Bytes expected = {0x41, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00, 0x00, 0x41, 0x01, 0x00,
                          0x20, 0x00, 0x00, 0x00, 0x00, 0x41, 0x01, 0x01, 0x20, 0x00, 0x00,
                          0x02, 0x00, 0x41, 0xAA, 0x01, 0x24, 0x00, 0x42, 0x2A, 0x00};
  ASSERT_EQ(drive.sentData.size(), 1u);
  EXPECT_EQ(drive.sentData[0], expected);
}

TEST(CueSheet, EmptySheetIsNotSent) {
  ReplayTransport drive({});
  EXPECT_EQ(sendCueSheet(drive, sector::CueSheet{}).error().kind, ErrorKind::InvalidArgument);
}

TEST(Speeds, StreamingDescriptorCarriesSpeedsPerSecond) {
  ReplayTransport drive({answer({0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x1C, 0})});
  StreamingRequest request;
  request.endLba = 2295103;
  request.readKBps = 11080;
  request.writeKBps = 5540;
  ASSERT_TRUE(setStreaming(drive, request).ok());
  const Bytes& d = drive.sentData.at(0);
  ASSERT_EQ(d.size(), 28u);
  EXPECT_EQ(d[8], 0x00);
  EXPECT_EQ(d[9], 0x23);
  EXPECT_EQ(d[14], 0x2B);
  EXPECT_EQ(d[15], 0x48);
  EXPECT_EQ(d[18], 0x03);
  EXPECT_EQ(d[19], 0xE8);
  EXPECT_EQ(d[22], 0x15);
  EXPECT_EQ(d[23], 0xA4);
}

TEST(Speeds, WriteSpeedDescriptorsAreReadInFull) {
  Bytes reply = {0x00, 0x00, 0x00, 0x24, 0, 0, 0, 0};
  const Bytes first = {0x10, 0, 0, 0, 0x00, 0x23, 0x05, 0x3F, 0x00, 0x00, 0x2B, 0x48, 0x00, 0x00, 0x2B, 0x48};
  const Bytes second = {0x00, 0, 0, 0, 0x00, 0x23, 0x05, 0x3F, 0x00, 0x00, 0x2B, 0x48, 0x00, 0x00, 0x15, 0xA4};
  reply.insert(reply.end(), first.begin(), first.end());
  reply.insert(reply.end(), second.begin(), second.end());
  ReplayTransport drive(
      {answer({0xAC, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0x03, 0}, Bytes(reply.begin(), reply.begin() + 24)),
       answer({0xAC, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x02, 0x03, 0}, reply)});
  auto speeds = getWriteSpeeds(drive);
  ASSERT_TRUE(speeds.ok()) << speeds.error().message;
  ASSERT_EQ(speeds->size(), 2u);
  EXPECT_EQ((*speeds)[0].writeRotationControl, 2);
  EXPECT_EQ((*speeds)[0].writeKBps, 11080u);
  EXPECT_EQ((*speeds)[1].writeKBps, 5540u);
  EXPECT_EQ((*speeds)[1].endLba, 2295103u);
}

TEST(WaitUntilReady, WaitsOutBecomingReadyAndLongWrite) {
  ReplayTransport drive({checkCondition(kTur, 0x02, 0x04, 0x01), checkCondition(kTur, 0x02, 0x04, 0x08),
                         checkCondition(kTur, 0x06, 0x28, 0x00), answer(kTur)});
  WaitOptions options;
  options.interval = 1ms;
  options.limit = 5s;
  EXPECT_TRUE(waitUntilReady(drive, options).ok());
}

TEST(WaitUntilReady, PollsSoonAfterABusyAnswerAndBacksOffFromThere) {
  ReplayTransport drive({checkCondition(kTur, 0x02, 0x04, 0x08), checkCondition(kTur, 0x02, 0x04, 0x08),
                         checkCondition(kTur, 0x02, 0x04, 0x07), answer(kTur)});
  WaitOptions options;
  options.firstInterval = 1ms;
  options.interval = 10s;
  const auto started = std::chrono::steady_clock::now();
  EXPECT_TRUE(waitUntilReady(drive, options).ok());
  // 1 + 2 + 4 ms of pauses; a fixed interval would have taken 30 s.
  EXPECT_LT(std::chrono::steady_clock::now() - started, 500ms);
}

TEST(WaitUntilReady, GivesUpAfterItsLimitWithTheLastSense) {
  std::vector<emberline::testing::Exchange> script;
  for (int i = 0; i < 200; ++i) script.push_back(checkCondition(kTur, 0x02, 0x04, 0x07));
  ReplayTransport driveObject(script);
  ReplayTransport* drive = &driveObject;
  WaitOptions options;
  options.interval = 5ms;
  options.limit = 40ms;
  const auto started = std::chrono::steady_clock::now();
  auto status = waitUntilReady(*drive, options);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 1s);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::NotReady);
  EXPECT_EQ(status.error().ascq, 0x07);
  EXPECT_NE(status.error().message.find("did not become ready"), std::string::npos);
  drive->discardRemaining();  // a drive that never gets ready leaves the script unfinished
}

TEST(WaitUntilReady, NoMediumEndsTheWaitAtOnce) {
  ReplayTransport drive({checkCondition(kTur, 0x02, 0x3A, 0x02)});
  auto status = waitUntilReady(drive);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().asc, 0x3A);
  EXPECT_EQ(status.error().message, "TEST UNIT READY failed: medium not present - tray open");
}

TEST(WaitUntilReady, RepeatedUnitAttentionIsNotRetriedForever) {
  ReplayTransport drive({checkCondition(kTur, 0x06, 0x29, 0x00), checkCondition(kTur, 0x06, 0x29, 0x00)});
  auto status = waitUntilReady(drive);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().senseKey, 0x06);
}

TEST(WaitUntilReady, CancelEndsThePoll) {
  ReplayTransport drive({checkCondition(kTur, 0x02, 0x04, 0x01)});
  std::atomic<int> polls{0};
  WaitOptions options;
  options.firstInterval = 10s;
  options.interval = 10s;
  options.cancelled = [&polls] { return ++polls > 3; };
  const auto started = std::chrono::steady_clock::now();
  auto status = waitUntilReady(drive, options);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 2s);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::Cancelled);
}

}  // namespace
}  // namespace emberline::mmc
