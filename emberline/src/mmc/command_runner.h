#pragma once
// The one path every MMC wrapper takes to the drive: build the CDB, run it,
// and turn anything but success into a typed Error named after the command.

#include <chrono>
#include <cstdint>
#include <span>
#include <string_view>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Timeouts for commands that legitimately run long.
namespace timeouts {
inline constexpr std::chrono::milliseconds kShort{10000};
inline constexpr std::chrono::milliseconds kNormal{60000};
/// Full blank, session close, cache flush without Immed: tens of minutes on slow media.
inline constexpr std::chrono::milliseconds kLong{60LL * 60 * 1000};
}  // namespace timeouts

/// A zeroed CDB of @p length bytes with @p opcode in byte 0 and no data phase.
ScsiCommand makeCommand(std::uint8_t opcode, std::uint8_t length,
                        std::chrono::milliseconds timeout = timeouts::kNormal);

/// As makeCommand, with a data phase in @p direction through @p data.
ScsiCommand makeCommand(std::uint8_t opcode, std::uint8_t length, DataDirection direction, std::span<std::uint8_t> data,
                        std::chrono::milliseconds timeout = timeouts::kNormal);

/// Runs @p command and returns the bytes transferred. A CHECK CONDITION
/// becomes Error::fromSense with "<name> failed: <sense text>"; a check
/// condition without sense is completed with REQUEST SENSE; recovered errors
/// (key 1) count as success; other non-GOOD statuses are Transport errors.
Result<std::size_t> runCommand(ScsiTransport& transport, const ScsiCommand& command, std::string_view name);

/// The Error a command named @p name gets for @p sense.
Error senseError(std::string_view name, const SenseData& sense);

}  // namespace emberline::mmc
