#pragma once
// Where a device name or SCSI address leads: a virtual writer first, else a
// drive the kernel knows.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "transport/linux_sg_transport.h"
#include "transport/scsi_device_enumerator.h"
#include "transport/scsi_transport.h"

namespace emberline {

/// Opens the device at @p address; failures name the address and the reason.
Result<std::unique_ptr<ScsiTransport>> openDeviceAt(const ScsiAddress& address, OpenMode mode);

/// Opens the device called @p name ("CdRom" N, or a virtual writer's name).
Result<std::unique_ptr<ScsiTransport>> openDeviceNamed(std::string_view name, OpenMode mode);

/// Every virtual writer (when @p peripheralType is CD/DVD), then every
/// device of that type under @p sysfsRoot, whether or not it can be opened.
std::vector<ScsiAddress> listDevices(std::uint8_t peripheralType, const std::filesystem::path& sysfsRoot = "/sys");

/// "dev:" and the device path of @p address ("dev:" and the name for a virtual writer).
Result<std::string> deviceNameOf(const ScsiAddress& address, const std::filesystem::path& sysfsRoot = "/sys");

}  // namespace emberline
