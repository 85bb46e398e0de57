#include "mmc/cue_sheet.h"

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
// The parameter list length is a 24-bit field.
constexpr std::size_t kMaximumSheet = 0xFFFFFF;
}  // namespace

Status sendCueSheet(ScsiTransport& transport, const sector::CueSheet& sheet) {
  std::vector<std::uint8_t> bytes = sheet.encode();
  if (bytes.empty() || bytes.size() > kMaximumSheet)
    return fail(ErrorKind::InvalidArgument, "SEND CUE SHEET: the cue sheet is empty or too large");
  ScsiCommand command = makeCommand(0x5D, 10, DataDirection::ToDevice, bytes);
  be::put24(command.cdb, 6, static_cast<std::uint32_t>(bytes.size()));
  EMBERLINE_TRY(runCommand(transport, command, "SEND CUE SHEET"));
  return {};
}

}  // namespace emberline::mmc
