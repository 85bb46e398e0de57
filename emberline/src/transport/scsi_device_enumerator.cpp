#include "transport/scsi_device_enumerator.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <optional>
#include <system_error>

namespace emberline {

namespace fs = std::filesystem;

namespace {

std::string trimmed(std::string s) {
  const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\n' && c != '\t' && c != '\r' && c != 0; };
  const auto first = std::find_if(s.begin(), s.end(), notSpace);
  const auto last = std::find_if(s.rbegin(), s.rend(), notSpace).base();
  return first < last ? std::string(first, last) : std::string();
}

std::string readAttribute(const fs::path& file) {
  std::ifstream in(file);
  if (!in) return {};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return trimmed(std::move(text));
}

std::optional<unsigned long> parseNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  unsigned long value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// "H:C:T:L" with every part a byte; host entries ("host0") and targets ("target0:0:0") fail here.
std::optional<ScsiAddress> parseAddress(std::string_view name) {
  std::uint8_t parts[4]{};
  for (int i = 0; i < 4; ++i) {
    const auto colon = name.find(':');
    const bool last = i == 3;
    if (last != (colon == std::string_view::npos)) return std::nullopt;
    const auto value = parseNumber(name.substr(0, colon));
    if (!value || *value > 0xFF) return std::nullopt;
    parts[i] = static_cast<std::uint8_t>(*value);
    if (!last) name.remove_prefix(colon + 1);
  }
  return ScsiAddress{parts[0], parts[1], parts[2], parts[3]};
}

// The node's name is the one directory entry below block/ or scsi_generic/.
std::string firstChildName(const fs::path& dir) {
  std::error_code ec;
  std::vector<std::string> names;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    names.push_back(it->path().filename().string());
  if (names.empty()) return {};
  std::sort(names.begin(), names.end());
  return names.front();
}

std::string nodeFor(const fs::path& deviceDir) {
  if (auto name = firstChildName(deviceDir / "block"); !name.empty()) return "/dev/" + name;
  if (auto name = firstChildName(deviceDir / "scsi_generic"); !name.empty()) return "/dev/" + name;
  // Kernels before the class directories used "block:sr0" links in the device folder.
  std::error_code ec;
  for (fs::directory_iterator it(deviceDir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.starts_with("block:")) return "/dev/" + name.substr(6);
  }
  return {};
}

}  // namespace

std::string ScsiAddress::toString() const {
  return std::to_string(host) + ":" + std::to_string(channel) + ":" + std::to_string(target) + ":" +
         std::to_string(lun);
}

std::vector<ScsiDeviceEntry> enumerateScsiDevices(std::uint8_t peripheralType, const fs::path& sysfsRoot) {
  std::vector<ScsiDeviceEntry> devices;
  std::error_code ec;
  const fs::path busDir = sysfsRoot / "bus" / "scsi" / "devices";
  for (fs::directory_iterator it(busDir, ec), end; !ec && it != end; it.increment(ec)) {
    const auto address = parseAddress(it->path().filename().string());
    if (!address) continue;
    const auto type = parseNumber(readAttribute(it->path() / "type"));
    if (!type || *type != peripheralType) continue;
    ScsiDeviceEntry entry;
    entry.address = *address;
    entry.peripheralType = peripheralType;
    entry.vendor = readAttribute(it->path() / "vendor");
    entry.model = readAttribute(it->path() / "model");
    entry.revision = readAttribute(it->path() / "rev");
    entry.devicePath = nodeFor(it->path());
    devices.push_back(std::move(entry));
  }
  std::sort(devices.begin(), devices.end(),
            [](const ScsiDeviceEntry& a, const ScsiDeviceEntry& b) { return a.address < b.address; });
  return devices;
}

Result<std::string> devicePathForAddress(const ScsiAddress& address, const fs::path& sysfsRoot) {
  for (const auto& entry : enumerateScsiDevices(kCdDvdPeripheralType, sysfsRoot)) {
    if (entry.address != address) continue;
    if (entry.devicePath.empty())
      return fail(ErrorKind::DeviceOpen,
                  "the CD/DVD device at SCSI address " + address.toString() + " has no device node");
    return entry.devicePath;
  }
  return fail(ErrorKind::DeviceOpen, "no CD/DVD device at SCSI address " + address.toString());
}

}  // namespace emberline
