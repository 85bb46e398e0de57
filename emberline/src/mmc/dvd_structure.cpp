#include "mmc/dvd_structure.h"

#include <array>

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
constexpr std::uint8_t kReadDvdStructure = 0xAD;
constexpr std::uint8_t kSendDvdStructure = 0xBF;
constexpr std::uint8_t kLayerBoundaryFormat = 0x20;
// Four bytes of header, then the structure: a flags byte, three reserved, the capacity.
constexpr std::size_t kLayerBoundaryBytes = 12;
constexpr std::uint8_t kInitStatus = 0x80;
}  // namespace

Result<LayerBoundary> readLayerBoundary(ScsiTransport& transport) {
  std::array<std::uint8_t, kLayerBoundaryBytes> buffer{};
  ScsiCommand command = makeCommand(kReadDvdStructure, 12, DataDirection::FromDevice, buffer, timeouts::kShort);
  command.cdb[7] = kLayerBoundaryFormat;
  be::put16(command.cdb, 8, static_cast<std::uint16_t>(buffer.size()));
  auto transferred = runCommand(transport, command, "READ DVD STRUCTURE");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < buffer.size() || be::get16(buffer, 0) < kLayerBoundaryBytes - 2)
    return fail(ErrorKind::Transport, "READ DVD STRUCTURE failed: the layer boundary information is too short");
  return LayerBoundary{be::get32(buffer, 8), (buffer[4] & kInitStatus) != 0};
}

Status sendLayerBoundary(ScsiTransport& transport, std::uint32_t layer0Blocks) {
  std::array<std::uint8_t, kLayerBoundaryBytes> buffer{};
  be::put16(buffer, 0, kLayerBoundaryBytes - 2);
  be::put32(buffer, 8, layer0Blocks);
  ScsiCommand command = makeCommand(kSendDvdStructure, 12, DataDirection::ToDevice, buffer);
  command.cdb[7] = kLayerBoundaryFormat;
  be::put16(command.cdb, 8, static_cast<std::uint16_t>(buffer.size()));
  EMBERLINE_TRY(runCommand(transport, command, "SEND DVD STRUCTURE"));
  return {};
}

}  // namespace emberline::mmc
