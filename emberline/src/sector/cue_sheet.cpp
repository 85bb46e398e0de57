// Cue sheet encoding and the checks made before a cue sheet reaches a drive.
// A drive rejects a bad cue sheet with a bare ILLEGAL REQUEST; checking here
// gives the user a message that names the offending entry.

#include "sector/cue_sheet.h"

#include <string>

namespace emberline::sector {
namespace {

Unexpected invalid(std::size_t entry, const std::string& why) {
  return fail(ErrorKind::InvalidArgument, "cue sheet entry " + std::to_string(entry) + ": " + why);
}

std::string hex(std::uint8_t v) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string{kDigits[v >> 4], kDigits[v & 0x0F]} + "h";
}

bool validMsf(Msf m) {
  return m.minute <= 99 && m.second < 60 && m.frame < kFramesPerSecond;
}

}  // namespace

std::size_t hostBlockSize(DataForm form) {
  switch (form) {
    case DataForm::Audio:
    case DataForm::Mode1Raw:
    case DataForm::Mode2XaRaw:
    case DataForm::Mode2Raw:
      return 2352;
    case DataForm::Mode1:
      return 2048;
    case DataForm::Mode2Xa:
    case DataForm::Mode2:
      return 2336;
    case DataForm::AudioGenerated:
    case DataForm::Mode1Generated:
    case DataForm::Mode2XaGenerated:
    case DataForm::Mode2Generated:
      return 0;
  }
  return 0;
}

std::array<std::uint8_t, kCueEntrySize> CueEntry::encode() const {
  return {static_cast<std::uint8_t>(((control & 0x0F) << 4) | (adr & 0x0F)),
          track,
          index,
          static_cast<std::uint8_t>(static_cast<std::uint8_t>(form) | (cdText ? 0x40 : 0x00)),
          static_cast<std::uint8_t>(serialCopyManagement ? 0x80 : 0x00),
          address.minute,
          address.second,
          address.frame};
}

std::vector<std::uint8_t> CueSheet::encode() const {
  std::vector<std::uint8_t> out;
  out.reserve(entries.size() * kCueEntrySize);
  for (const CueEntry& e : entries) {
    const auto bytes = e.encode();
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

Status validateCueSheet(const CueSheet& sheet) {
  const auto& es = sheet.entries;
  if (es.size() < 3) return fail(ErrorKind::InvalidArgument, "cue sheet needs a lead-in, a track and a lead-out");

  for (std::size_t i = 0; i < es.size(); ++i) {
    if (es[i].adr != kAdrPosition) return invalid(i, "ADR " + std::to_string(es[i].adr) + " is not supported");
    if (es[i].control > 0x0F) return invalid(i, "CTL " + hex(es[i].control) + " does not fit in 4 bits");
    if (!validMsf(es[i].address)) return invalid(i, "address " + es[i].address.toString() + " is not a valid MSF");
    if (es[i].cdText && i != 0) return invalid(i, "the CD-TEXT flag belongs to the lead-in entry only");
  }

  if (es.front().track != kLeadInTrack) return invalid(0, "the first entry must be the lead-in (track 00h)");
  if (es.front().address != Msf{}) return invalid(0, "the lead-in entry must be at 00:00:00");
  if (es.back().track != kLeadOutTrack)
    return invalid(es.size() - 1, "the last entry must be the lead-out (track AAh)");
  if (es.back().index != 1) return invalid(es.size() - 1, "the lead-out entry must have index 01");

  // Track entries: everything between lead-in and lead-out.
  std::uint8_t previousTrack = 0;
  std::uint8_t previousIndex = 0;
  std::int32_t trackPayloadStart = 0;  // LBA of the current track's index 1
  bool haveIndexOne = false;
  for (std::size_t i = 1; i + 1 < es.size(); ++i) {
    const CueEntry& e = es[i];
    const std::int32_t lba = e.address.frames() - kMsfOffset;
    if (i == 1 && e.address != Msf{}) return invalid(i, "the first track must begin at 00:00:00");
    if (i > 1 && e.address.frames() <= es[i - 1].address.frames())
      return invalid(i, "address " + e.address.toString() + " does not follow " + es[i - 1].address.toString());

    if (e.track == kLeadInTrack || e.track == kLeadOutTrack)
      return invalid(i, "lead-in or lead-out inside the track list");
    if (e.track > 99) return invalid(i, "track number " + std::to_string(e.track) + " is above 99");
    if (e.index > 99) return invalid(i, "index " + std::to_string(e.index) + " is above 99");

    if (e.track != previousTrack) {
      if (previousTrack != 0) {
        if (!haveIndexOne) return invalid(i, "track " + std::to_string(previousTrack) + " has no index 01");
        if (lba - trackPayloadStart < kMinimumTrackBlocks)
          return invalid(i, "track " + std::to_string(previousTrack) + " is shorter than 300 blocks (4 seconds)");
      }
      if (previousTrack != 0 && e.track != previousTrack + 1)
        return invalid(i,
                       "track " + std::to_string(e.track) + " does not follow track " + std::to_string(previousTrack));
      if (previousTrack == 0 && e.track < 1) return invalid(i, "track numbers start at 1");
      if (e.index > 1) return invalid(i, "a track must begin with index 00 or 01");
      previousTrack = e.track;
      haveIndexOne = false;
    } else if (e.index != previousIndex + 1) {
      return invalid(i, "index " + std::to_string(e.index) + " does not follow index " + std::to_string(previousIndex));
    }
    if (e.index == 1) {
      haveIndexOne = true;
      trackPayloadStart = lba;
    }
    previousIndex = e.index;
  }

  const std::size_t last = es.size() - 1;
  if (previousTrack == 0) return invalid(last, "the cue sheet has no tracks");
  if (!haveIndexOne) return invalid(last, "track " + std::to_string(previousTrack) + " has no index 01");
  if (es[last].address.frames() <= es[last - 1].address.frames())
    return invalid(last, "the lead-out does not follow the last track");
  if (es[last].address.frames() - kMsfOffset - trackPayloadStart < kMinimumTrackBlocks)
    return invalid(last, "track " + std::to_string(previousTrack) + " is shorter than 300 blocks (4 seconds)");
  return {};
}

}  // namespace emberline::sector
