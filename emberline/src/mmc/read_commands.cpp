#include "mmc/read_commands.h"

#include <array>

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

Result<Capacity> readCapacity(ScsiTransport& transport) {
  std::array<std::uint8_t, 8> buffer{};
  auto transferred = runCommand(transport, makeCommand(0x25, 10, DataDirection::FromDevice, buffer, timeouts::kShort),
                                "READ CAPACITY");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < buffer.size()) return fail(ErrorKind::Transport, "READ CAPACITY failed: response too short");
  return Capacity{be::get32(buffer, 0), be::get32(buffer, 4)};
}

Result<std::size_t> read10(ScsiTransport& transport, std::int32_t lba, std::uint16_t blocks,
                           std::span<std::uint8_t> out, std::size_t blockLength) {
  const std::size_t wanted = std::size_t{blocks} * blockLength;
  if (blocks == 0 || blockLength == 0 || out.size() < wanted)
    return fail(ErrorKind::InvalidArgument, "READ(10): buffer too small for " + std::to_string(blocks) + " blocks");
  ScsiCommand command = makeCommand(0x28, 10, DataDirection::FromDevice, out.first(wanted));
  be::put32(command.cdb, 2, static_cast<std::uint32_t>(lba));
  be::put16(command.cdb, 7, blocks);
  return runCommand(transport, command, "READ(10)");
}

Result<std::size_t> readCdSectors(ScsiTransport& transport, std::int32_t lba, std::uint32_t blocks,
                                  std::span<std::uint8_t> out, ExpectedSector expected) {
  constexpr std::size_t kWholeSector = 2352;
  constexpr std::uint8_t kSyncHeadersUserDataEdc = 0xF8;
  const std::size_t wanted = std::size_t{blocks} * kWholeSector;
  if (blocks == 0 || blocks > 0xFFFFFF || out.size() < wanted)
    return fail(ErrorKind::InvalidArgument, "READ CD: buffer too small for " + std::to_string(blocks) + " sectors");
  ScsiCommand command = makeCommand(0xBE, 12, DataDirection::FromDevice, out.first(wanted));
  command.cdb[1] = static_cast<std::uint8_t>(static_cast<std::uint8_t>(expected) << 2);
  be::put32(command.cdb, 2, static_cast<std::uint32_t>(lba));
  be::put24(command.cdb, 6, blocks);
  command.cdb[9] = kSyncHeadersUserDataEdc;
  return runCommand(transport, command, "READ CD");
}

}  // namespace emberline::mmc
