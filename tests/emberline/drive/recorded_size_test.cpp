// The recorded size of a finished disc in a drive that reads only: such
// drives need not know READ TRACK INFORMATION, and READ CAPACITY stands in.

#include <gtest/gtest.h>

#include "drive/drive.h"
#include "emberline/mmc/replay_transport.h"

namespace emberline {
namespace {

using testing::answer;
using testing::checkCondition;
using testing::ReplayTransport;
using Bytes = std::vector<std::uint8_t>;

const Bytes kDiscInfoCdb = {0x51, 0, 0, 0, 0, 0, 0, 0x00, 34, 0};
const Bytes kTrackOneCdb = {0x52, 0x01, 0, 0, 0, 1, 0, 0x00, 48, 0};
const Bytes kCapacityCdb = {0x25, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// Disc information of a finished single-track disc: status 2 (complete).
Bytes finishedDisc() {
  Bytes d(34, 0);
  d[1] = 32;
  d[2] = 0x0E;
  d[3] = 1;
  d[4] = 1;
  d[5] = 1;
  d[6] = 1;
  return d;
}

TEST(RecordedSize, ReadCapacityWhenTheDriveDoesNotKnowTrackInformation) {
  ReplayTransport transport({answer(kDiscInfoCdb, finishedDisc()), checkCondition(kTrackOneCdb, 0x05, 0x20, 0x00),
                             answer(kCapacityCdb, {0, 0, 0, 183, 0, 0, 8, 0})});
  Drive drive(transport);
  EXPECT_EQ(drive.recordedBlocks().value(), 184u);
}

TEST(RecordedSize, OtherRefusalsOfTrackInformationStayFailures) {
  // An invalid field is a drive that knows the command and objects to the
  // question: no guessing from the capacity then.
  ReplayTransport transport({answer(kDiscInfoCdb, finishedDisc()), checkCondition(kTrackOneCdb, 0x05, 0x24, 0x00)});
  Drive drive(transport);
  EXPECT_FALSE(drive.recordedBlocks().ok());
}

}  // namespace
}  // namespace emberline
