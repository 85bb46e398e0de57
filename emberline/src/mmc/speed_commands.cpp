#include "mmc/speed_commands.h"

#include <array>

#include "core/big_endian.h"
#include "mmc/command_runner.h"
#include "mmc/variable_read.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kStreamingDescriptorLength = 28;
constexpr std::size_t kPerformanceHeader = 8;
constexpr std::size_t kPerformanceDescriptor = 16;
constexpr std::uint16_t kMaximumDescriptors = 1024;
constexpr std::uint32_t kOneSecondMs = 1000;
constexpr std::uint8_t kWriteSpeedType = 0x03;
constexpr std::uint8_t kPerformanceType = 0x00;

Result<std::vector<std::uint8_t>> readPerformance(ScsiTransport& transport, std::uint8_t type, std::uint8_t dataType) {
  const CommandBuilder build = [&](std::span<std::uint8_t> buffer) {
    ScsiCommand command = makeCommand(0xAC, 12, DataDirection::FromDevice, buffer, timeouts::kShort);
    command.cdb[1] = dataType;
    const auto descriptors = (buffer.size() - kPerformanceHeader) / kPerformanceDescriptor;
    be::put16(command.cdb, 8, static_cast<std::uint16_t>(descriptors));
    command.cdb[10] = type;
    return command;
  };
  // The CDB counts descriptors, not bytes, so the first read asks for one.
  return readVariableLength(transport, build, LengthField{0, 4}, kPerformanceHeader + kPerformanceDescriptor,
                            kPerformanceHeader + kMaximumDescriptors * kPerformanceDescriptor, "GET PERFORMANCE");
}
}  // namespace

Status setCdSpeed(ScsiTransport& transport, std::uint16_t readKBps, std::uint16_t writeKBps,
                  std::uint8_t rotationControl) {
  ScsiCommand command = makeCommand(0xBB, 12, timeouts::kShort);
  command.cdb[1] = rotationControl & 0x03;
  be::put16(command.cdb, 2, readKBps);
  be::put16(command.cdb, 4, writeKBps);
  EMBERLINE_TRY(runCommand(transport, command, "SET CD SPEED"));
  return {};
}

Status setStreaming(ScsiTransport& transport, const StreamingRequest& request) {
  std::array<std::uint8_t, kStreamingDescriptorLength> descriptor{};
  descriptor[0] =
      static_cast<std::uint8_t>(((request.writeRotationControl & 0x03) << 3) | (request.restoreDefaults ? 0x04 : 0) |
                                (request.exact ? 0x02 : 0) | (request.randomAccess ? 0x01 : 0));
  be::put32(descriptor, 4, request.startLba);
  be::put32(descriptor, 8, request.endLba);
  be::put32(descriptor, 12, request.readKBps);
  be::put32(descriptor, 16, kOneSecondMs);
  be::put32(descriptor, 20, request.writeKBps);
  be::put32(descriptor, 24, kOneSecondMs);
  ScsiCommand command = makeCommand(0xB6, 12, DataDirection::ToDevice, descriptor, timeouts::kShort);
  be::put16(command.cdb, 9, static_cast<std::uint16_t>(descriptor.size()));
  EMBERLINE_TRY(runCommand(transport, command, "SET STREAMING"));
  return {};
}

Result<std::vector<WriteSpeedEntry>> getWriteSpeeds(ScsiTransport& transport) {
  auto response = readPerformance(transport, kWriteSpeedType, 0);
  if (!response.ok()) return fail(std::move(response).error());
  const auto& data = *response;
  std::vector<WriteSpeedEntry> speeds;
  for (std::size_t at = kPerformanceHeader; at + kPerformanceDescriptor <= data.size(); at += kPerformanceDescriptor) {
    WriteSpeedEntry e;
    e.writeRotationControl = (data[at] >> 3) & 0x03;
    e.restoreDefaults = (data[at] & 0x04) != 0;
    e.exact = (data[at] & 0x02) != 0;
    e.mixedRw = (data[at] & 0x01) != 0;
    e.endLba = be::get32(data, at + 4);
    e.readKBps = be::get32(data, at + 8);
    e.writeKBps = be::get32(data, at + 12);
    speeds.push_back(e);
  }
  return speeds;
}

Result<std::vector<PerformanceEntry>> getPerformance(ScsiTransport& transport, bool write) {
  // Tolerance 10b (10 %), nominal performance, no exceptions list.
  const std::uint8_t dataType = static_cast<std::uint8_t>(0x10 | (write ? 0x04 : 0x00));
  auto response = readPerformance(transport, kPerformanceType, dataType);
  if (!response.ok()) return fail(std::move(response).error());
  const auto& data = *response;
  std::vector<PerformanceEntry> entries;
  for (std::size_t at = kPerformanceHeader; at + kPerformanceDescriptor <= data.size(); at += kPerformanceDescriptor)
    entries.push_back(PerformanceEntry{be::get32(data, at), be::get32(data, at + 4), be::get32(data, at + 8),
                                       be::get32(data, at + 12)});
  return entries;
}

}  // namespace emberline::mmc
