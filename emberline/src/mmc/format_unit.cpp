#include "mmc/format_unit.h"

#include <array>

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
constexpr std::uint8_t kFormatUnit = 0x04;
constexpr std::uint8_t kFormatData = 0x10;
constexpr std::uint8_t kFormatCode = 0x01;
constexpr std::uint8_t kImmediate = 0x02;
constexpr std::uint8_t kDvdPlusRwFullFormat = 0x26;
// The drive formats the whole medium; it takes all ones as "as much as there is".
constexpr std::uint32_t kWholeMedium = 0xFFFFFFFF;
}  // namespace

Status formatDvdPlusRw(ScsiTransport& transport, bool immediate) {
  // A format list header (with the descriptor's length) and one format descriptor.
  std::array<std::uint8_t, 12> list{};
  list[1] = immediate ? kImmediate : 0;
  be::put16(list, 2, 8);
  be::put32(list, 4, kWholeMedium);
  list[8] = kDvdPlusRwFullFormat << 2;
  ScsiCommand command =
      makeCommand(kFormatUnit, 6, DataDirection::ToDevice, list, immediate ? timeouts::kNormal : timeouts::kLong);
  command.cdb[1] = kFormatData | kFormatCode;
  EMBERLINE_TRY(runCommand(transport, command, "FORMAT UNIT"));
  return {};
}

}  // namespace emberline::mmc
