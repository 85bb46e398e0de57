#include "mmc/recording_commands.h"

#include <algorithm>
#include <array>
#include <vector>

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
// Commands that may run until the medium is done; without Immed they block the whole time.
std::chrono::milliseconds longUnlessImmediate(bool immediate) {
  return immediate ? timeouts::kNormal : timeouts::kLong;
}

// Every block size a data block type or cue sheet data form can ask for;
// anything else means the caller's buffer and block count disagree.
bool isRecordableBlockSize(std::size_t size) {
  constexpr std::array<std::size_t, 8> kSizes{2048, 2056, 2324, 2332, 2336, 2352, 2368, 2448};
  return std::find(kSizes.begin(), kSizes.end(), size) != kSizes.end();
}
}  // namespace

Status sendOpcInformation(ScsiTransport& transport) {
  ScsiCommand command = makeCommand(0x54, 10);
  command.cdb[1] = 0x01;  // DoOpc
  EMBERLINE_TRY(runCommand(transport, command, "SEND OPC INFORMATION"));
  return {};
}

Result<BufferCapacity> readBufferCapacity(ScsiTransport& transport) {
  std::array<std::uint8_t, 12> buffer{};
  ScsiCommand command = makeCommand(0x5C, 10, DataDirection::FromDevice, buffer, timeouts::kShort);
  be::put16(command.cdb, 7, static_cast<std::uint16_t>(buffer.size()));
  auto transferred = runCommand(transport, command, "READ BUFFER CAPACITY");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < buffer.size())
    return fail(ErrorKind::Transport, "READ BUFFER CAPACITY failed: response too short");
  return BufferCapacity{be::get32(buffer, 4), be::get32(buffer, 8)};
}

Status write10(ScsiTransport& transport, std::int32_t lba, std::uint16_t blocks, std::span<const std::uint8_t> data) {
  if (blocks == 0 || data.size() % blocks != 0 || !isRecordableBlockSize(data.size() / blocks))
    return fail(ErrorKind::InvalidArgument, "WRITE(10): data is not a whole number of blocks");
  // The transport's buffer is writable for the read direction; this command only sends from it.
  std::span<std::uint8_t> buffer(const_cast<std::uint8_t*>(data.data()), data.size());
  ScsiCommand command = makeCommand(0x2A, 10, DataDirection::ToDevice, buffer);
  be::put32(command.cdb, 2, static_cast<std::uint32_t>(lba));
  be::put16(command.cdb, 7, blocks);
  auto transferred = runCommand(transport, command, "WRITE(10)");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  return {};
}

Status reserveTrack(ScsiTransport& transport, std::uint32_t blocks) {
  ScsiCommand command = makeCommand(0x53, 10);
  be::put32(command.cdb, 5, blocks);
  EMBERLINE_TRY(runCommand(transport, command, "RESERVE TRACK"));
  return {};
}

Status synchronizeCache(ScsiTransport& transport, bool immediate) {
  ScsiCommand command = makeCommand(0x35, 10, longUnlessImmediate(immediate));
  command.cdb[1] = immediate ? 0x02 : 0x00;
  EMBERLINE_TRY(runCommand(transport, command, "SYNCHRONIZE CACHE"));
  return {};
}

Status closeTrackSession(ScsiTransport& transport, CloseFunction function, std::uint16_t track, bool immediate) {
  ScsiCommand command = makeCommand(0x5B, 10, longUnlessImmediate(immediate));
  command.cdb[1] = immediate ? 0x01 : 0x00;
  command.cdb[2] = static_cast<std::uint8_t>(function) & 0x07;
  be::put16(command.cdb, 4, track);
  EMBERLINE_TRY(runCommand(transport, command, "CLOSE TRACK/SESSION"));
  return {};
}

Status blank(ScsiTransport& transport, BlankType type, std::uint32_t address, bool immediate) {
  ScsiCommand command = makeCommand(0xA1, 12, longUnlessImmediate(immediate));
  command.cdb[1] = static_cast<std::uint8_t>((immediate ? 0x10 : 0x00) | (static_cast<unsigned>(type) & 0x07));
  be::put32(command.cdb, 2, address);
  EMBERLINE_TRY(runCommand(transport, command, "BLANK"));
  return {};
}

}  // namespace emberline::mmc
