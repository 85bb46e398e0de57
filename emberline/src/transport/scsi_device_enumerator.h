#pragma once
// Finds SCSI devices through sysfs, where the kernel lists every device as
// bus/scsi/devices/H:C:T:L with its peripheral type, identity and nodes.

#include <compare>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/result.h"

namespace emberline {

/// Host adapter, channel, target and LUN of a device.
struct ScsiAddress {
  std::uint8_t host = 0;
  std::uint8_t channel = 0;
  std::uint8_t target = 0;
  std::uint8_t lun = 0;
  friend auto operator<=>(const ScsiAddress&, const ScsiAddress&) = default;
  std::string toString() const;  ///< "H:C:T:L"
};

/// One device as sysfs describes it.
struct ScsiDeviceEntry {
  ScsiAddress address;
  std::uint8_t peripheralType = 0;  ///< 05h for CD/DVD
  std::string vendor;               ///< trimmed of the padding INQUIRY puts in
  std::string model;
  std::string revision;
  std::string devicePath;  ///< "/dev/srN", else "/dev/sgN", else empty
};

/// Peripheral device type of CD/DVD drives.
constexpr std::uint8_t kCdDvdPeripheralType = 0x05;

/// Lists, in address order, the devices of @p peripheralType below @p sysfsRoot
/// (normally "/sys"). Entries whose address does not fit in bytes are skipped.
/// A missing sysfs tree gives an empty list, not an error.
std::vector<ScsiDeviceEntry> enumerateScsiDevices(std::uint8_t peripheralType,
                                                  const std::filesystem::path& sysfsRoot = "/sys");

/// The device node of the CD/DVD device at @p address, or a DeviceOpen error naming the address.
Result<std::string> devicePathForAddress(const ScsiAddress& address, const std::filesystem::path& sysfsRoot = "/sys");

}  // namespace emberline
