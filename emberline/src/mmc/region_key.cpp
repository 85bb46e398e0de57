#include "mmc/region_key.h"

#include <array>

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

Result<RpcState> reportRpcState(ScsiTransport& transport) {
  std::array<std::uint8_t, 8> buffer{};
  ScsiCommand command = makeCommand(0xA4, 12, DataDirection::FromDevice, buffer, timeouts::kShort);
  be::put16(command.cdb, 8, static_cast<std::uint16_t>(buffer.size()));
  command.cdb[10] = 0x08;  // RPC state; AGID 0, no authentication needed
  auto transferred = runCommand(transport, command, "REPORT KEY");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < 7) return fail(ErrorKind::Transport, "REPORT KEY failed: response too short");
  return RpcState{static_cast<std::uint8_t>(buffer[4] >> 6), static_cast<std::uint8_t>((buffer[4] >> 3) & 0x07),
                  static_cast<std::uint8_t>(buffer[4] & 0x07), buffer[5], buffer[6]};
}

}  // namespace emberline::mmc
