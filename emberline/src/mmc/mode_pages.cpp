#include "mmc/mode_pages.h"

#include <cstdio>
#include <string>

#include "core/big_endian.h"
#include "mmc/command_runner.h"
#include "mmc/variable_read.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kHeaderLength = 8;
constexpr std::size_t kMaximumResponse = 0xFFFC;
constexpr std::uint8_t kPageCodeMask = 0x3F;
constexpr std::uint8_t kParametersSavable = 0x80;

std::string pageName(std::uint8_t code) {
  char text[16];
  std::snprintf(text, sizeof text, "%02Xh", code);
  return text;
}
}  // namespace

Result<ModePage> modeSense(ScsiTransport& transport, std::uint8_t pageCode, PageControl control) {
  const CommandBuilder build = [&](std::span<std::uint8_t> buffer) {
    ScsiCommand command = makeCommand(0x5A, 10, DataDirection::FromDevice, buffer, timeouts::kShort);
    command.cdb[1] = 0x08;  // DBD: CD/DVD drives have no use for block descriptors here
    command.cdb[2] = static_cast<std::uint8_t>((static_cast<unsigned>(control) << 6) | (pageCode & kPageCodeMask));
    be::put16(command.cdb, 7, static_cast<std::uint16_t>(buffer.size()));
    return command;
  };
  // Asking for a typical page at once saves a round trip on most drives.
  auto response = readVariableLength(transport, build, LengthField{0, 2}, 64, kMaximumResponse, "MODE SENSE");
  if (!response.ok()) return fail(std::move(response).error());
  const std::vector<std::uint8_t>& data = *response;
  const std::size_t pageStart = kHeaderLength + be::get16(data, 6);
  if (pageStart + 2 > data.size() || (data[pageStart] & kPageCodeMask) != (pageCode & kPageCodeMask))
    return fail(ErrorKind::NotSupported, "MODE SENSE failed: the drive returned no mode page " + pageName(pageCode));
  const std::size_t pageEnd = std::min(pageStart + 2 + data[pageStart + 1], data.size());
  ModePage page;
  page.code = pageCode & kPageCodeMask;
  page.bytes.assign(data.begin() + static_cast<std::ptrdiff_t>(pageStart),
                    data.begin() + static_cast<std::ptrdiff_t>(pageEnd));
  return page;
}

Status modeSelect(ScsiTransport& transport, std::span<const std::uint8_t> page) {
  if (page.size() < 2 || page.size() + kHeaderLength > 0xFFFF)
    return fail(ErrorKind::InvalidArgument, "MODE SELECT: invalid mode page length");
  std::vector<std::uint8_t> parameters(kHeaderLength + page.size(), 0);
  std::copy(page.begin(), page.end(), parameters.begin() + kHeaderLength);
  parameters[kHeaderLength] &= static_cast<std::uint8_t>(~kParametersSavable);
  ScsiCommand command = makeCommand(0x55, 10, DataDirection::ToDevice, parameters, timeouts::kShort);
  command.cdb[1] = 0x10;  // PF: the page follows the standard's page format
  be::put16(command.cdb, 7, static_cast<std::uint16_t>(parameters.size()));
  EMBERLINE_TRY(runCommand(transport, command, "MODE SELECT"));
  return {};
}

}  // namespace emberline::mmc
