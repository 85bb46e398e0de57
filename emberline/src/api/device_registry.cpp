#include "api/device_registry.h"

#include "transport/device_name.h"
#include "virtual/virtual_writer_registry.h"

namespace emberline {

namespace {

constexpr std::string_view kDevicePrefix = "dev:";

Unexpected openFailure(const std::string& device, Error cause) {
  cause.kind = ErrorKind::DeviceOpen;
  cause.message = "cannot open device " + device + ": " + cause.message;
  return fail(std::move(cause));
}

Result<std::unique_ptr<ScsiTransport>> openPath(const std::string& device, const std::string& path, OpenMode mode) {
  auto transport = LinuxSgTransport::open(path, mode);
  if (!transport.ok()) return openFailure(device, std::move(transport).error());
  return std::unique_ptr<ScsiTransport>(std::move(transport).value());
}

}  // namespace

Result<std::unique_ptr<ScsiTransport>> openDeviceAt(const ScsiAddress& address, OpenMode mode) {
  const auto& writers = virt::VirtualWriterRegistry::instance();
  if (auto drive = writers.findByAddress(address.host, address.channel, address.target, address.lun))
    return writers.open(drive->name(), mode);
  auto path = devicePathForAddress(address);
  if (!path.ok()) return openFailure(address.toString(), std::move(path).error());
  return openPath(address.toString() + " (" + *path + ")", *path, mode);
}

Result<std::unique_ptr<ScsiTransport>> openDeviceNamed(std::string_view name, OpenMode mode) {
  const auto& writers = virt::VirtualWriterRegistry::instance();
  if (writers.findByName(name)) return writers.open(name, mode);
  auto path = devicePathForName(name);
  if (!path.ok()) return fail(std::move(path).error());
  return openPath(std::string(name) + " (" + *path + ")", *path, mode);
}

std::vector<ScsiAddress> listDevices(std::uint8_t peripheralType, const std::filesystem::path& sysfsRoot) {
  std::vector<ScsiAddress> addresses;
  if (peripheralType == kCdDvdPeripheralType) {
    const auto& writers = virt::VirtualWriterRegistry::instance();
    for (const auto& name : writers.names())
      if (auto drive = writers.findByName(name))
        addresses.push_back(ScsiAddress{virt::kVirtualHost, 0, static_cast<std::uint8_t>(drive->index()), 0});
  }
  for (const auto& entry : enumerateScsiDevices(peripheralType, sysfsRoot)) addresses.push_back(entry.address);
  return addresses;
}

Result<std::string> deviceNameOf(const ScsiAddress& address, const std::filesystem::path& sysfsRoot) {
  const auto& writers = virt::VirtualWriterRegistry::instance();
  if (auto drive = writers.findByAddress(address.host, address.channel, address.target, address.lun))
    return std::string(kDevicePrefix) + drive->name();
  auto path = devicePathForAddress(address, sysfsRoot);
  if (!path.ok()) return fail(std::move(path).error());
  return std::string(kDevicePrefix) + *path;
}

}  // namespace emberline
