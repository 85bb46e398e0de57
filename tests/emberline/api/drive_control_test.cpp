// Speeds, underrun protection, the tray, closing sessions and injected faults.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "api/call_result.h"
#include "api/device_object.h"
#include "api/library_state.h"
#include "mmc/recording_commands.h"
#include "virtual_writer_fixture.h"

namespace emberline::test {
namespace {

class DriveControl : public VirtualWriterTest {
 protected:
  struct Speeds {
    uint32_t currentRead = 0, maximumRead = 0, currentWrite = 0, maximumWrite = 0;
  };
  Speeds speeds(EmberlineHandle h) {
    Speeds s;
    EXPECT_EQ(Emberline_CdvdWriter_GetSpeeds(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                             &s.currentRead, &s.maximumRead, &s.currentWrite, &s.maximumWrite),
              EMBERLINE_OK)
        << out.text;
    return s;
  }
  uint8_t setSpeeds(EmberlineHandle h, uint32_t read, uint32_t write) {
    return Emberline_CdvdWriter_SetSpeeds(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, read, write);
  }
  /// Writes 16 blocks by track at once straight through the drive's
  /// transport and closes the session through the flat API.
  void writeTrackAndClose(EmberlineHandle h) {
    auto device = LibraryState::instance().objects().findAs<DeviceObject>(h);
    ASSERT_TRUE(device);
    std::vector<uint8_t> blocks(2048 * 16, 0);
    ASSERT_TRUE(mmc::write10(device->transport(), 0, 16, blocks).ok());
    ASSERT_EQ(Emberline_CdvdWriter_CloseSession(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
              EMBERLINE_OK)
        << out.text;
  }
  CallOutputs out;
};

TEST_F(DriveControl, RequestedWriteSpeedSettlesOnTheFastestNotAbove) {
  EmberlineHandle h = openWith("cd-r,speeds=176/353/706/1400");
  ASSERT_EQ(setSpeeds(h, 0xFFFF, 9152), EMBERLINE_OK) << out.text;
  EXPECT_EQ(speeds(h).currentWrite, 1400u);
  EXPECT_EQ(speeds(h).maximumWrite, 1400u);
  ASSERT_EQ(setSpeeds(h, 0xFFFF, 700), EMBERLINE_OK);
  EXPECT_EQ(speeds(h).currentWrite, 353u);
}

TEST_F(DriveControl, FixedSpeedDriveIgnoresTheRequest) {
  EmberlineHandle h = openWith("cd-r,speeds=706/1411,fixed-speed=706");
  ASSERT_EQ(setSpeeds(h, 0xFFFF, 1411), EMBERLINE_OK);
  EXPECT_EQ(speeds(h).currentWrite, 706u);
}

TEST_F(DriveControl, DvdSpeedsGoThroughStreaming) {
  EmberlineHandle h = openWith("dvd+r,speeds=5540/11080");
  ASSERT_EQ(setSpeeds(h, 0xFFFF, 6000), EMBERLINE_OK) << out.text;
  EXPECT_EQ(speeds(h).currentWrite, 5540u);
}

TEST_F(DriveControl, UnderrunProtectionFollowsTheDrive) {
  EmberlineHandle h = openWith("cd-r;cd-r,bup=0");
  uint8_t enabled = 9, supported = 9;
  ASSERT_EQ(Emberline_CdvdWriter_SetBUP(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, 1), EMBERLINE_OK);
  ASSERT_EQ(
      Emberline_CdvdWriter_GetBUP(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &enabled, &supported),
      EMBERLINE_OK);
  EXPECT_EQ(enabled, 1);
  EXPECT_EQ(supported, 1);
  ASSERT_EQ(Emberline_CdvdWriter_SetBUP(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, 0), EMBERLINE_OK);
  Emberline_CdvdWriter_GetBUP(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &enabled, &supported);
  EXPECT_EQ(enabled, 0);

  EmberlineHandle without = open("CdRom17");
  EXPECT_EQ(Emberline_CdvdWriter_SetBUP(without, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, 1),
            EMBERLINE_E_NOT_SUPPORTED);
  ASSERT_EQ(Emberline_CdvdWriter_GetBUP(without, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &enabled,
                                        &supported),
            EMBERLINE_OK);
  EXPECT_EQ(supported, 0);
  EXPECT_EQ(enabled, 0);
}

TEST_F(DriveControl, TestWriteFollowsTheDriveOnCd) {
  EmberlineHandle h = openWith("cd-r;cd-r,test-write=0");
  uint8_t f[10] = {};
  Emberline_CdvdWriter_GetSupportedMediaFormats(h, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8],
                                                &f[9]);
  EXPECT_EQ(f[5], 1);
  EXPECT_EQ(f[6], 1) << "CD-R write";
  EmberlineHandle other = open("CdRom17");
  Emberline_CdvdWriter_GetSupportedMediaFormats(other, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8],
                                                &f[9]);
  EXPECT_EQ(f[5], 0);
}

TEST_F(DriveControl, LockedTrayRefusesToEjectUntilReleased) {
  EmberlineHandle h = openWith("cd-r");
  ASSERT_EQ(Emberline_CdvdWriter_Lock(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure), EMBERLINE_OK);
  EXPECT_EQ(Emberline_CdvdWriter_Eject(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
            EMBERLINE_E_CHECK_CONDITION);
  EXPECT_EQ(out.status, 0x055302u);
  EXPECT_EQ(out.failure.exceptionCode, EMBERLINE_E_CHECK_CONDITION);
  EXPECT_EQ(out.failure.asc, 0x53);
  EXPECT_NE(std::string(out.text).find("START STOP UNIT"), std::string::npos) << out.text;
  ASSERT_EQ(Emberline_CdvdWriter_Release(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure), EMBERLINE_OK);
  EXPECT_EQ(Emberline_CdvdWriter_Eject(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure), EMBERLINE_OK)
      << out.text;
  EXPECT_EQ(out.status, 0u);
  EXPECT_STREQ(out.text, "");
}

TEST_F(DriveControl, InjectedNotReadyFailsAtOnceWithItsSense) {
  EmberlineHandle h = openWith("cd-r,fault=not-ready");
  EXPECT_EQ(Emberline_CdvdWriter_TestUnitReady(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
            EMBERLINE_E_NOT_READY);
  EXPECT_EQ(out.status, 0x020400u);
  EXPECT_EQ(out.failure.senseKey, 2);
  EXPECT_EQ(out.failure.asc, 4);
  EXPECT_NE(std::string(out.text).find("not ready"), std::string::npos) << out.text;
}

TEST_F(DriveControl, InjectedWriteErrorCarriesItsSenseToTheFlatForm) {
  EmberlineHandle h = openWith("cd-r,fault=write-error@0");
  auto device = LibraryState::instance().objects().findAs<DeviceObject>(h);
  ASSERT_TRUE(device);
  std::vector<uint8_t> block(2048, 0);
  Status written = mmc::write10(device->transport(), 0, 1, block);
  ASSERT_FALSE(written.ok());
  CallOutputs flat;
  ErrorOutputs outs{flat.text, EMBERLINE_TEXT_SIZE, &flat.status, &flat.failure};
  EXPECT_EQ(report(outs, written.error()), EMBERLINE_E_CHECK_CONDITION);
  EXPECT_EQ(flat.status, 0x030C00u);
  EXPECT_EQ(flat.failure.senseKey, 3);
  EXPECT_EQ(flat.failure.opcode, 0x2A) << "the failing command is named by its opcode";
  EXPECT_NE(std::string(flat.text).find("WRITE(10)"), std::string::npos) << flat.text;
}

TEST_F(DriveControl, CloseSessionAfterATrackAtOnceWriteClosesIt) {
  EmberlineHandle h = openWith("cd-r");
  ASSERT_NO_FATAL_FAILURE(writeTrackAndClose(h));
  uint8_t disc[EMBERLINE_DISC_INFORMATION_SIZE] = {};
  ASSERT_EQ(Emberline_CdvdWriter_GetDiscInformation(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, disc),
            EMBERLINE_OK);
  EXPECT_NE(disc[1], 0) << "no longer blank";
  EXPECT_NE(disc[2], 1) << "the session is no longer incomplete";
  uint64_t used = 0;
  ASSERT_EQ(Emberline_CdvdWriter_GetDiscUsedSpace(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &used),
            EMBERLINE_OK);
  EXPECT_GE(used, 16u * 2048);
  // Nothing is left open now; a second close is not an error.
  EXPECT_EQ(Emberline_CdvdWriter_CloseSession(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
            EMBERLINE_OK)
      << out.text;
}

namespace {
/// The commands of a virtual writer's trace that flush or close, in order.
std::vector<std::string> FlushesAndCloses(const std::filesystem::path& trace) {
  std::vector<std::string> found;
  std::ifstream in(trace);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("35", 0) == 0 || line.rfind("5b", 0) == 0) found.push_back(line);
  return found;
}
}  // namespace

TEST_F(DriveControl, ClosingWhatIsClosedAlreadySendsTheDriveNothing) {
  const std::filesystem::path trace = test_support::processScratch() / "close-once-trace";
  std::filesystem::remove(trace);
  EmberlineHandle h = openWith("cd-r,trace=" + trace.string());
  ASSERT_NO_FATAL_FAILURE(writeTrackAndClose(h));
  const std::vector<std::string> first = FlushesAndCloses(trace);
  ASSERT_EQ(first.size(), 3u) << "a flush, the track's close and the session's";
  EXPECT_EQ(first[0].substr(0, 2), "35");
  EXPECT_EQ(first[2], "5b010200000000000000 good");
  ASSERT_EQ(Emberline_CdvdWriter_CloseSession(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure),
            EMBERLINE_OK)
      << out.text;
  EXPECT_EQ(FlushesAndCloses(trace), first) << "nothing flushed or closed a second time";
  std::filesystem::remove(trace);
}

TEST_F(DriveControl, OpcAndRegionStateAreAnsweredByTheDrive) {
  EmberlineHandle h = openWith("dvd-r");
  EXPECT_EQ(Emberline_CdvdWriter_SendOPC(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure), EMBERLINE_OK)
      << out.text;
  uint8_t type = 9, resets = 9, changes = 9, mask = 9, scheme = 9;
  EXPECT_EQ(Emberline_CdvdWriter_GetRPC(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &type, &resets,
                                        &changes, &mask, &scheme),
            EMBERLINE_OK)
      << out.text;
  EXPECT_LE(type, 3);
}

}  // namespace
}  // namespace emberline::test
