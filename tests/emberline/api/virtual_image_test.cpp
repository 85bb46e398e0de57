// Asking a virtual writer where it put the disc it recorded.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "api/device_call.h"
#include "mmc/recording_commands.h"
#include "virtual_writer_fixture.h"

namespace emberline::test {
namespace {

using VirtualImage = VirtualWriterTest;

std::string imageOf(EmberlineHandle h) {
  char path[4096] = "stale";
  EXPECT_EQ(Emberline_CdvdWriter_GetVirtualImage(h, path, sizeof path), EMBERLINE_OK);
  return path;
}

/// Records a few blocks at the start of the disc and ejects it.
void recordAndEject(EmberlineHandle h) {
  CallOutputs out;
  const std::uint8_t code =
      runDeviceCall(h, ErrorOutputs{out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure}, [](DeviceObject& d) {
        std::vector<std::uint8_t> data(2048 * 16, 0x5A);
        return mmc::write10(d.transport(), 0, 16, data);
      });
  ASSERT_EQ(code, EMBERLINE_OK) << out.text;
  ASSERT_EQ(Emberline_CdvdWriter_Eject(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure), EMBERLINE_OK)
      << out.text;
}

TEST_F(VirtualImage, NamesTheCueSheetOfACdAndTheIsoOfADvdOnceEjected) {
  startWith("cd-r;dvd+r");
  EmberlineHandle cd = open("CdRom16", 0);
  EmberlineHandle dvd = open("CdRom17", 0);
  EXPECT_EQ(imageOf(cd), "") << "nothing is finished before the eject";
  recordAndEject(cd);
  recordAndEject(dvd);
  const std::filesystem::path cue = imageOf(cd);
  const std::filesystem::path iso = imageOf(dvd);
  EXPECT_EQ(cue.extension(), ".cue");
  EXPECT_EQ(iso.extension(), ".iso");
  EXPECT_EQ(cue.parent_path(), directory_);
  EXPECT_TRUE(std::filesystem::is_regular_file(cue));
  EXPECT_TRUE(std::filesystem::is_regular_file(iso));
  EXPECT_NE(cue.stem(), iso.stem());
}

TEST_F(VirtualImage, ABadHandleOrBufferIsRefusedAndNothingIsWrittenPastTheBuffer) {
  EmberlineHandle cd = openWith("cd-r");
  char path[8] = "xxxxxxx";
  EXPECT_EQ(Emberline_CdvdWriter_GetVirtualImage(nullptr, path, sizeof path), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_EQ(Emberline_CdvdWriter_GetVirtualImage(cd, nullptr, 8), EMBERLINE_E_INVALID_ARGUMENT);
  EXPECT_EQ(Emberline_CdvdWriter_GetVirtualImage(cd, path, 0), EMBERLINE_E_INVALID_ARGUMENT);
  recordAndEject(cd);
  // A path longer than the buffer is cut, and still ends within it.
  char shortBuffer[9];
  shortBuffer[8] = '#';
  EXPECT_EQ(Emberline_CdvdWriter_GetVirtualImage(cd, shortBuffer, 8), EMBERLINE_OK);
  EXPECT_EQ(std::string(shortBuffer).size(), 7u);
  EXPECT_EQ(shortBuffer[8], '#');
}

}  // namespace
}  // namespace emberline::test
