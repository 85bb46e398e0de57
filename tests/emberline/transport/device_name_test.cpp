#include "transport/device_name.h"

#include <gtest/gtest.h>

#include "transport/sense_parser.h"

namespace emberline {
namespace {

TEST(DeviceNames, CdRomNumbersMapToSrNodes) {
  EXPECT_EQ(devicePathForName("CdRom0").value(), "/dev/sr0");
  EXPECT_EQ(devicePathForName("CdRom17").value(), "/dev/sr17");
  EXPECT_EQ(devicePathForName("CdRom255").value(), "/dev/sr255");
}

TEST(DeviceNames, MalformedOrOutOfRangeNamesAreRejected) {
  for (const char* name : {"CdRom256", "CdRom", "CdRom-1", "CdRom+1", "CdRom01", "cdrom0", "CdRom1x", "sr0",
                           "CdRom99999999999999999999", "", "CdRom 1"}) {
    auto path = devicePathForName(name);
    ASSERT_FALSE(path.ok()) << name;
    EXPECT_EQ(path.error().kind, ErrorKind::InvalidArgument) << name;
  }
}

TEST(SenseParsing, FixedFormatGivesKeyAscAscq) {
  const std::uint8_t sense[18] = {0x70, 0, 0x02, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x3A, 0x01, 0, 0, 0, 0};
  const SenseData s = parseSense(sense);
  EXPECT_EQ(s.key, 0x02);
  EXPECT_EQ(s.asc, 0x3A);
  EXPECT_EQ(s.ascq, 0x01);
}

TEST(SenseParsing, DeferredAndDescriptorFormatsAreUnderstood) {
  const std::uint8_t deferred[14] = {0xF1, 0, 0x03, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0x0C, 0x00};
  EXPECT_EQ(parseSense(deferred).key, 0x03);
  EXPECT_EQ(parseSense(deferred).asc, 0x0C);
  const std::uint8_t descriptor[8] = {0x72, 0x05, 0x24, 0x00, 0, 0, 0, 0};
  const SenseData s = parseSense(descriptor);
  EXPECT_EQ(s.key, 0x05);
  EXPECT_EQ(s.asc, 0x24);
  EXPECT_EQ(s.ascq, 0x00);
}

TEST(SenseParsing, TruncatedOrUnknownSenseReadsAsNone) {
  const std::uint8_t shortFixed[8] = {0x70, 0, 0x06, 0, 0, 0, 0, 0};
  const SenseData s = parseSense(shortFixed);
  EXPECT_EQ(s.key, 0x06);
  EXPECT_EQ(s.asc, 0x00);  // not read from beyond the buffer
  const std::uint8_t vendor[4] = {0x7F, 0x05, 0x24, 0};
  EXPECT_EQ(parseSense(vendor).key, 0);
  EXPECT_EQ(parseSense({}).key, 0);
}

}  // namespace
}  // namespace emberline
