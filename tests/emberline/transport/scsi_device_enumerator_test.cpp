#include "transport/scsi_device_enumerator.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace emberline {
namespace {

namespace fs = std::filesystem;

class FakeSysfs : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("emberline-sysfs-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(devices());
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path devices() const { return root_ / "bus" / "scsi" / "devices"; }

  fs::path addDevice(const std::string& address, const std::string& type, const std::string& vendor,
                     const std::string& model) {
    const fs::path dir = devices() / address;
    fs::create_directories(dir);
    std::ofstream(dir / "type") << type << "\n";
    std::ofstream(dir / "vendor") << vendor;
    std::ofstream(dir / "model") << model;
    std::ofstream(dir / "rev") << "1.02\n";
    return dir;
  }

  fs::path root_;
};

TEST_F(FakeSysfs, ListsOnlyCdDvdDevicesWithTheirNodes) {
  fs::create_directories(addDevice("0:0:0:0", "0", "ATA     ", "Some Disk       ") / "block" / "sda");
  fs::create_directories(addDevice("2:0:1:0", "5", "VENDORX ", "DVD-RW WRITER   ") / "block" / "sr1");
  fs::create_directories(addDevice("1:0:0:0", "5", "VENDORY ", "CD-RW           ") / "scsi_generic" / "sg3");
  fs::create_directories(devices() / "host0");
  fs::create_directories(devices() / "target0:0:0");

  const auto found = enumerateScsiDevices(kCdDvdPeripheralType, root_);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].address, (ScsiAddress{1, 0, 0, 0}));
  EXPECT_EQ(found[0].devicePath, "/dev/sg3");
  EXPECT_EQ(found[0].vendor, "VENDORY");
  EXPECT_EQ(found[1].address, (ScsiAddress{2, 0, 1, 0}));
  EXPECT_EQ(found[1].devicePath, "/dev/sr1");
  EXPECT_EQ(found[1].model, "DVD-RW WRITER");
  EXPECT_EQ(found[1].revision, "1.02");

  const auto disks = enumerateScsiDevices(0, root_);
  ASSERT_EQ(disks.size(), 1u);
  EXPECT_EQ(disks[0].devicePath, "/dev/sda");
}

TEST_F(FakeSysfs, AddressesBeyondAByteAreSkipped) {
  addDevice("256:0:0:0", "5", "A", "B");
  addDevice("0:0:0:4096", "5", "A", "B");
  fs::create_directories(addDevice("3:0:0:0", "5", "A", "B") / "block" / "sr0");
  const auto found = enumerateScsiDevices(kCdDvdPeripheralType, root_);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].address.host, 3);
}

TEST_F(FakeSysfs, ResolvesAnAddressToItsNode) {
  fs::create_directories(addDevice("4:0:2:0", "5", "A", "B") / "block" / "sr2");
  EXPECT_EQ(devicePathForAddress(ScsiAddress{4, 0, 2, 0}, root_).value(), "/dev/sr2");

  auto missing = devicePathForAddress(ScsiAddress{4, 0, 3, 0}, root_);
  ASSERT_FALSE(missing.ok());
  EXPECT_EQ(missing.error().kind, ErrorKind::DeviceOpen);
  EXPECT_NE(missing.error().message.find("4:0:3:0"), std::string::npos);
}

TEST_F(FakeSysfs, MissingTreeOrGarbageTypeGivesNoDevices) {
  addDevice("5:0:0:0", "five", "A", "B");
  EXPECT_TRUE(enumerateScsiDevices(kCdDvdPeripheralType, root_).empty());
  EXPECT_TRUE(enumerateScsiDevices(kCdDvdPeripheralType, root_ / "nowhere").empty());
}

}  // namespace
}  // namespace emberline
