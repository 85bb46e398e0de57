#include "mmc/cue_sheet.h"

#include "core/big_endian.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kEntryLength = 8;
constexpr std::size_t kMaximumSheet = 0xFFFFFF;
}  // namespace

CueSheetEntry CueSheetEntry::at(std::uint8_t control, std::uint8_t track, std::uint8_t index, std::uint8_t dataForm,
                                std::int32_t lba) {
  CueSheetEntry e;
  e.control = control;
  e.track = track;
  e.index = index;
  e.dataForm = dataForm;
  e.address = lba < -kMsfOffset ? Msf{} : Msf::fromLba(lba);
  return e;
}

std::vector<std::uint8_t> encodeCueSheet(std::span<const CueSheetEntry> entries) {
  std::vector<std::uint8_t> sheet;
  sheet.reserve(entries.size() * kEntryLength);
  for (const auto& e : entries) {
    // The addresses are binary, not BCD, unlike the TOC a drive writes from them.
    sheet.push_back(static_cast<std::uint8_t>(((e.control & 0x0F) << 4) | (e.adr & 0x0F)));
    sheet.push_back(e.track);
    sheet.push_back(e.index);
    sheet.push_back(e.dataForm);
    sheet.push_back(e.scms);
    sheet.push_back(e.address.minute);
    sheet.push_back(e.address.second);
    sheet.push_back(e.address.frame);
  }
  return sheet;
}

Status sendCueSheet(ScsiTransport& transport, std::span<const CueSheetEntry> entries) {
  std::vector<std::uint8_t> sheet = encodeCueSheet(entries);
  if (sheet.empty() || sheet.size() > kMaximumSheet)
    return fail(ErrorKind::InvalidArgument, "SEND CUE SHEET: the cue sheet is empty or too large");
  ScsiCommand command = makeCommand(0x5D, 10, DataDirection::ToDevice, sheet);
  be::put24(command.cdb, 6, static_cast<std::uint32_t>(sheet.size()));
  EMBERLINE_TRY(runCommand(transport, command, "SEND CUE SHEET"));
  return {};
}

}  // namespace emberline::mmc
