#include "mmc/unit_commands.h"

#include <array>

#include "core/big_endian.h"
#include "mmc/command_runner.h"
#include "transport/sense_parser.h"

namespace emberline::mmc {

namespace {

std::string asciiField(std::span<const std::uint8_t> data, std::size_t at, std::size_t length) {
  std::string s;
  for (std::size_t i = at; i < at + length && i < data.size(); ++i) {
    const char c = static_cast<char>(data[i]);
    s.push_back(c >= 0x20 && c < 0x7F ? c : ' ');
  }
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

constexpr std::size_t kInquiryLength = 36;
constexpr std::size_t kSenseLength = 18;

}  // namespace

Result<InquiryData> inquiry(ScsiTransport& transport) {
  std::array<std::uint8_t, kInquiryLength> buffer{};
  ScsiCommand command = makeCommand(0x12, 6, DataDirection::FromDevice, buffer, timeouts::kShort);
  be::put16(command.cdb, 3, static_cast<std::uint16_t>(buffer.size()));
  auto transferred = runCommand(transport, command, "INQUIRY");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < 8) return fail(ErrorKind::Transport, "INQUIRY failed: response too short");
  const std::span<const std::uint8_t> data(buffer.data(), *transferred);
  InquiryData out;
  out.peripheralQualifier = static_cast<std::uint8_t>(data[0] >> 5);
  out.peripheralType = data[0] & 0x1F;
  out.removable = (data[1] & 0x80) != 0;
  out.version = data[2];
  out.vendor = asciiField(data, 8, 8);
  out.product = asciiField(data, 16, 16);
  out.revision = asciiField(data, 32, 4);
  return out;
}

Result<UnitReadiness> testUnitReady(ScsiTransport& transport) {
  auto result = runCommand(transport, makeCommand(0x00, 6, timeouts::kShort), "TEST UNIT READY");
  if (result.ok()) return UnitReadiness{true, {}};
  const Error& e = result.error();
  if (e.kind != ErrorKind::NotReady && e.kind != ErrorKind::CheckCondition) return fail(e);
  return UnitReadiness{false, SenseData{e.senseKey, e.asc, e.ascq}};
}

Result<SenseReport> requestSense(ScsiTransport& transport) {
  std::array<std::uint8_t, kSenseLength> buffer{};
  ScsiCommand command = makeCommand(0x03, 6, DataDirection::FromDevice, buffer, timeouts::kShort);
  command.cdb[4] = static_cast<std::uint8_t>(buffer.size());
  auto transferred = runCommand(transport, command, "REQUEST SENSE");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  const std::span<const std::uint8_t> data(buffer.data(), *transferred);
  SenseReport out;
  out.sense = parseSense(data);
  // Fixed format: SKSV in byte 15 bit 7; for not-ready keys bytes 16-17 hold progress.
  const bool fixed = !data.empty() && ((data[0] & 0x7F) == 0x70 || (data[0] & 0x7F) == 0x71);
  if (fixed && data.size() >= 18 && (data[15] & 0x80) != 0 && (out.sense.key == 0x00 || out.sense.key == 0x02)) {
    out.progressValid = true;
    out.progress = be::get16(data, 16);
  }
  return out;
}

Status preventMediumRemoval(ScsiTransport& transport, bool prevent) {
  ScsiCommand command = makeCommand(0x1E, 6, timeouts::kShort);
  command.cdb[4] = prevent ? 0x01 : 0x00;
  EMBERLINE_TRY(runCommand(transport, command, "PREVENT ALLOW MEDIUM REMOVAL"));
  return {};
}

Status startStopUnit(ScsiTransport& transport, StartStopAction action, bool immediate) {
  ScsiCommand command = makeCommand(0x1B, 6);
  command.cdb[1] = immediate ? 0x01 : 0x00;
  command.cdb[4] = static_cast<std::uint8_t>(action);
  EMBERLINE_TRY(runCommand(transport, command, "START STOP UNIT"));
  return {};
}

}  // namespace emberline::mmc
