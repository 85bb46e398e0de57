#include "transport/linux_sg_transport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "mmc/unit_commands.h"

namespace emberline {
namespace {

TEST(OpeningADevice, MissingNodeSaysNoSuchDevice) {
  auto opened = LinuxSgTransport::open("/dev/sr249", OpenMode::Shared);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().kind, ErrorKind::DeviceOpen);
  EXPECT_EQ(opened.error().message, "no such device /dev/sr249");
  EXPECT_EQ(opened.error().systemError, ENOENT);
}

TEST(OpeningADevice, ExclusiveOpenOfMissingNodeFailsTheSameWay) {
  auto opened = LinuxSgTransport::open("/dev/sr248", OpenMode::Exclusive);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().message, "no such device /dev/sr248");
}

TEST(OpeningADevice, RegularFileIsNotACdDvdDevice) {
  const auto path = std::filesystem::temp_directory_path() / ("emberline-not-a-drive-" + std::to_string(::getpid()));
  std::ofstream(path) << "plain data";
  auto opened = LinuxSgTransport::open(path.string(), OpenMode::Shared);
  std::filesystem::remove(path);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().kind, ErrorKind::DeviceOpen);
  EXPECT_EQ(opened.error().message, path.string() + " is not a CD/DVD device");
}

TEST(OpeningADevice, CharacterDeviceWithoutSgIsRefused) {
  auto opened = LinuxSgTransport::open("/dev/null", OpenMode::Shared);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().kind, ErrorKind::DeviceOpen);
  EXPECT_EQ(opened.error().message, "/dev/null is not a CD/DVD device");
}

TEST(OpeningADevice, EmptyPathIsAnArgumentError) {
  auto opened = LinuxSgTransport::open("", OpenMode::Shared);
  ASSERT_FALSE(opened.ok());
  EXPECT_EQ(opened.error().kind, ErrorKind::InvalidArgument);
}

TEST(RealDrive, AnswersInquiryAsACdDvdDevice) {
  if (!std::filesystem::exists("/dev/sr0")) GTEST_SKIP() << "no /dev/sr0 on this machine";
  auto opened = LinuxSgTransport::open("/dev/sr0", OpenMode::Shared);
  if (!opened.ok()) GTEST_SKIP() << opened.error().message;
  auto identity = mmc::inquiry(**opened);
  ASSERT_TRUE(identity.ok()) << identity.error().message;
  EXPECT_EQ(identity->peripheralType, 0x05);
  EXPECT_FALSE(identity->vendor.empty());
}

}  // namespace
}  // namespace emberline
