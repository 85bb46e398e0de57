#include <gtest/gtest.h>

#include "mmc/region_key.h"
#include "mmc/unit_commands.h"
#include "replay_transport.h"

namespace emberline::mmc {
namespace {

using emberline::testing::answer;
using emberline::testing::checkCondition;
using emberline::testing::ReplayTransport;

std::vector<std::uint8_t> writerInquiry() {
  std::vector<std::uint8_t> r = {0x05, 0x80, 0x05, 0x32, 0x1F, 0x00, 0x00, 0x00};
  for (char c : std::string("HL-DT-ST"
                            "DVDRAM GH22NS50 "
                            "TN02"))
    r.push_back(static_cast<std::uint8_t>(c));
  return r;
}

TEST(Inquiry, DecodesAWriterIdentity) {
  ReplayTransport drive({answer({0x12, 0, 0, 0, 36, 0}, writerInquiry())});
  auto id = inquiry(drive);
  ASSERT_TRUE(id.ok()) << id.error().message;
  EXPECT_EQ(id->peripheralType, 0x05);
  EXPECT_TRUE(id->removable);
  EXPECT_EQ(id->vendor, "HL-DT-ST");
  EXPECT_EQ(id->product, "DVDRAM GH22NS50");
  EXPECT_EQ(id->revision, "TN02");
}

TEST(Inquiry, TruncatedReplyIsAnErrorNotGarbage) {
  ReplayTransport drive({answer({0x12, 0, 0, 0, 36, 0}, {0x05, 0x80})});
  auto id = inquiry(drive);
  ASSERT_FALSE(id.ok());
  EXPECT_EQ(id.error().kind, ErrorKind::Transport);
}

TEST(SenseErrors, KeepTheSenseFieldsAndNameTheCommand) {
  ReplayTransport drive({checkCondition({0x1B, 0, 0, 0, 0x02, 0}, 0x05, 0x53, 0x02)});
  auto status = startStopUnit(drive, StartStopAction::Eject);
  ASSERT_FALSE(status.ok());
  const Error& e = status.error();
  EXPECT_EQ(e.kind, ErrorKind::CheckCondition);
  EXPECT_EQ(e.senseKey, 0x05);
  EXPECT_EQ(e.asc, 0x53);
  EXPECT_EQ(e.ascq, 0x02);
  EXPECT_EQ(e.opcode, 0x1B);
  EXPECT_EQ(e.message, "START STOP UNIT failed: medium removal prevented");
}

TEST(SenseErrors, NotReadyKeyGivesNotReadyKind) {
  ReplayTransport drive({checkCondition({0x1E, 0, 0, 0, 1, 0}, 0x02, 0x3A, 0x00)});
  auto status = preventMediumRemoval(drive, true);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::NotReady);
  EXPECT_EQ(status.error().message, "PREVENT ALLOW MEDIUM REMOVAL failed: medium not present");
}

TEST(SenseErrors, UnlistedCodesStillProduceAReadableText) {
  ReplayTransport drive({checkCondition({0x1E, 0, 0, 0, 0, 0}, 0x05, 0x99, 0x07)});
  auto status = preventMediumRemoval(drive, false);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().message, "PREVENT ALLOW MEDIUM REMOVAL failed: illegal request (ASC 99h, ASCQ 07h)");
}

TEST(SenseErrors, MissingAutosenseIsFetchedWithRequestSense) {
  std::vector<std::uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = 0x05;
  sense[7] = 10;
  sense[12] = 0x24;
  ReplayTransport drive({checkCondition({0x1E, 0, 0, 0, 1, 0}, 0, 0, 0), answer({0x03, 0, 0, 0, 18, 0}, sense)});
  auto status = preventMediumRemoval(drive, true);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().asc, 0x24);
  EXPECT_EQ(status.error().message, "PREVENT ALLOW MEDIUM REMOVAL failed: invalid field in CDB");
}

TEST(SenseErrors, RecoveredErrorCountsAsSuccess) {
  ReplayTransport drive({checkCondition({0x1B, 0, 0, 0, 0x03, 0}, 0x01, 0x17, 0x01)});
  EXPECT_TRUE(startStopUnit(drive, StartStopAction::Load).ok());
}

TEST(SenseErrors, BusyStatusIsATransportFailure) {
  emberline::testing::Exchange busy = answer({0x1B, 1, 0, 0, 0x01, 0});
  busy.status = 0x08;
  ReplayTransport drive({busy});
  auto status = startStopUnit(drive, StartStopAction::Start, true);
  ASSERT_FALSE(status.ok());
  EXPECT_EQ(status.error().kind, ErrorKind::Transport);
  EXPECT_EQ(status.error().opcode, 0x1B);
  EXPECT_EQ(status.error().message, "START STOP UNIT failed: device busy");
}

TEST(UnitReadinessQuery, NotReadyIsAnAnswerWithSense) {
  ReplayTransport drive({checkCondition({0, 0, 0, 0, 0, 0}, 0x02, 0x04, 0x01), answer({0, 0, 0, 0, 0, 0})});
  auto first = testUnitReady(drive);
  ASSERT_TRUE(first.ok());
  EXPECT_FALSE(first->ready);
  EXPECT_EQ(first->sense.ascq, 0x01);
  EXPECT_TRUE(testUnitReady(drive)->ready);
}

TEST(RequestSenseCommand, ReportsProgressOfAFormat) {
  std::vector<std::uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = 0x02;
  sense[7] = 10;
  sense[12] = 0x04;
  sense[13] = 0x04;
  sense[15] = 0x80;
  sense[16] = 0x80;  // half done
  ReplayTransport drive({answer({0x03, 0, 0, 0, 18, 0}, sense)});
  auto report = requestSense(drive);
  ASSERT_TRUE(report.ok());
  EXPECT_EQ(report->sense.key, 0x02);
  EXPECT_TRUE(report->progressValid);
  EXPECT_EQ(report->progress, 0x8000);
}

TEST(RegionState, DecodesReportKeyRpcState) {
  // RPC-II drive set to region 2 with 4 user changes left, 4 vendor resets.
  ReplayTransport drive(
      {answer({0xA4, 0, 0, 0, 0, 0, 0, 0, 0, 8, 0x08, 0}, {0x00, 0x06, 0x00, 0x00, 0x64, 0xFD, 0x01, 0x00})});
  auto rpc = reportRpcState(drive);
  ASSERT_TRUE(rpc.ok()) << rpc.error().message;
  EXPECT_EQ(rpc->typeCode, 1);
  EXPECT_EQ(rpc->vendorResetsLeft, 4);
  EXPECT_EQ(rpc->userChangesLeft, 4);
  EXPECT_EQ(rpc->regionMask, 0xFD);
  EXPECT_EQ(rpc->rpcScheme, 0x01);
}

}  // namespace
}  // namespace emberline::mmc
