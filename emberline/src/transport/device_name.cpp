#include "transport/device_name.h"

namespace emberline {

namespace {
constexpr std::string_view kPrefix = "CdRom";
constexpr unsigned kHighestUnit = 255;

Unexpected badName(std::string_view name) {
  return fail(ErrorKind::InvalidArgument,
              "invalid device name \"" + std::string(name) + "\" (expected CdRom0 to CdRom255)");
}
}  // namespace

Result<std::string> devicePathForName(std::string_view name) {
  if (!name.starts_with(kPrefix)) return badName(name);
  const std::string_view digits = name.substr(kPrefix.size());
  // Three digits cover 0..255; a leading zero would give one drive two names.
  if (digits.empty() || digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) return badName(name);
  unsigned unit = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return badName(name);
    unit = unit * 10 + static_cast<unsigned>(c - '0');
  }
  if (unit > kHighestUnit) return badName(name);
  return "/dev/sr" + std::to_string(unit);
}

}  // namespace emberline
