#include "mmc/command_runner.h"

#include <array>
#include <cstdio>
#include <string>

#include "mmc/sense_text.h"
#include "transport/sense_codes.h"
#include "transport/sense_parser.h"

namespace emberline::mmc {

namespace {

std::string statusText(std::uint8_t status) {
  switch (status) {
    case 0x08:
      return "device busy";
    case 0x18:
      return "reservation conflict";
    case 0x28:
      return "task set full";
    case 0x40:
      return "task aborted";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "SCSI status %02Xh", status);
      return text;
    }
  }
}

// Some transports deliver CHECK CONDITION without autosense; the drive keeps
// the sense until the next command, so ask for it before anything else runs.
SenseData fetchSense(ScsiTransport& transport) {
  std::array<std::uint8_t, 18> buffer{};
  ScsiCommand command = makeCommand(0x03, 6, DataDirection::FromDevice, buffer, timeouts::kShort);
  command.cdb[4] = static_cast<std::uint8_t>(buffer.size());
  auto reply = transport.execute(command);
  if (!reply.ok() || !reply->good()) return {};
  return parseSense(std::span<const std::uint8_t>(buffer.data(), reply->transferred));
}

}  // namespace

ScsiCommand makeCommand(std::uint8_t opcode, std::uint8_t length, std::chrono::milliseconds timeout) {
  ScsiCommand command;
  command.cdb[0] = opcode;
  command.cdbLength = length;
  command.timeout = timeout;
  return command;
}

ScsiCommand makeCommand(std::uint8_t opcode, std::uint8_t length, DataDirection direction, std::span<std::uint8_t> data,
                        std::chrono::milliseconds timeout) {
  ScsiCommand command = makeCommand(opcode, length, timeout);
  command.direction = direction;
  command.data = data;
  return command;
}

Error senseError(std::string_view name, const SenseData& sense) {
  return Error::fromSense(sense.key, sense.asc, sense.ascq,
                          std::string(name) + " failed: " + senseText(sense.key, sense.asc, sense.ascq));
}

namespace {

Error commandError(ScsiTransport& transport, std::string_view name, const Result<ScsiReply>& reply) {
  if (!reply.ok()) {
    Error e = reply.error();
    e.message = std::string(name) + " failed: " + e.message;
    return e;
  }
  if (!reply->checkCondition())
    return Error::make(ErrorKind::Transport, std::string(name) + " failed: " + statusText(reply->status));
  SenseData reported = reply->sense;
  if (reported.key == 0 && reported.asc == 0 && reported.ascq == 0) reported = fetchSense(transport);
  if (reported.key == 0 && reported.asc == 0 && reported.ascq == 0)
    return Error::fromSense(0, 0, 0, std::string(name) + " failed: check condition without sense data");
  return senseError(name, reported);
}

}  // namespace

Result<std::size_t> runCommand(ScsiTransport& transport, const ScsiCommand& command, std::string_view name) {
  auto reply = transport.execute(command);
  if (reply.ok() && reply->good()) return reply->transferred;
  Error e = commandError(transport, name, reply);
  // A recovered error is the drive saying it succeeded after retrying.
  if (e.kind == ErrorKind::CheckCondition && e.senseKey == sense::key::kRecoveredError) return reply->transferred;
  e.opcode = command.opcode();
  return fail(std::move(e));
}

}  // namespace emberline::mmc
