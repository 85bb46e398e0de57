#include "api/medium_records.h"

#include <algorithm>
#include <ctime>

namespace emberline {

namespace {

constexpr std::uint32_t kNoAddress = 0xFFFFFFFFu;

void putLe16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putLe32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint8_t flag(bool value) {
  return value ? 1 : 0;
}

// Records carry one byte for track and session numbers; beyond 255 the
// drive's numbering cannot be represented, so it saturates instead of wrapping.
std::uint8_t narrow(std::uint16_t value) {
  return static_cast<std::uint8_t>(std::min<std::uint16_t>(value, 0xFF));
}

std::uint32_t leadAddress(std::uint32_t field, bool cdMedium) {
  if (field == kNoAddress) return kNoAddress;
  return static_cast<std::uint32_t>(mmc::DiscInformation::addressToLba(field, cdMedium));
}

// ECMA-119 primary volume descriptor: type 1, "CD001", version 1, the volume
// identifier in bytes 40-71.
constexpr std::size_t kDescriptorSize = 2048;
constexpr std::uint8_t kPrimaryDescriptorType = 1;
constexpr std::size_t kVolumeIdOffset = 40;
constexpr std::size_t kCreationDateOffset = 813;
constexpr std::size_t kLongDateDigits = 16;
constexpr std::size_t kVolumeIdLength = 32;

}  // namespace

DiscInformationRecord encodeDiscInformationRecord(const mmc::DiscInformation& info, bool cdMedium) {
  DiscInformationRecord r{};
  r[0] = 1;
  r[1] = static_cast<std::uint8_t>(info.discStatus);
  r[2] = static_cast<std::uint8_t>(info.lastSessionState);
  r[3] = flag(info.erasable);
  r[4] = info.firstTrack;
  r[5] = narrow(info.sessions);
  r[6] = narrow(info.firstTrackInLastSession);
  r[7] = narrow(info.lastTrackInLastSession);
  r[8] = info.discType;
  r[9] = flag(info.unrestrictedUse);
  putLe32(r, 10, info.discIdValid ? info.discId : 0);
  putLe32(r, 14, leadAddress(info.lastSessionLeadIn, cdMedium));
  putLe32(r, 18, leadAddress(info.lastPossibleLeadOut, cdMedium));
  r[22] = info.backgroundFormatStatus;
  return r;
}

TrackInformationRecord encodeTrackInformationRecord(const mmc::TrackInformation& info) {
  TrackInformationRecord r{};
  r[0] = 1;
  r[1] = narrow(info.trackNumber);
  r[2] = narrow(info.sessionNumber);
  r[3] = info.trackMode;
  r[4] = info.dataMode;
  r[5] = flag(info.damage);
  r[6] = flag(info.copy);
  r[7] = flag(info.reservedTrack);
  r[8] = flag(info.packet);
  r[9] = flag(info.blank);
  r[10] = flag(info.fixedPacket);
  r[11] = flag(info.nextWritableAddressValid);
  putLe32(r, 12, static_cast<std::uint32_t>(info.startAddress));
  putLe32(r, 16, info.nextWritableAddressValid ? static_cast<std::uint32_t>(info.nextWritableAddress) : 0);
  putLe32(r, 20, info.freeBlocks);
  putLe32(r, 24, info.trackSize);
  return r;
}

Result<TocBlock> encodeTocBlock(std::span<const std::uint8_t> response) {
  if (response.size() > kTocResponseCapacity)
    return fail(ErrorKind::Internal,
                "the table of contents (" + std::to_string(response.size()) + " bytes) does not fit the TOC block");
  TocBlock block{};
  std::copy(response.begin(), response.end(), block.begin());
  putLe16(block, kTocResponseCapacity, static_cast<std::uint16_t>(response.size()));
  return block;
}

Result<std::string> volumeLabelFromDescriptor(std::span<const std::uint8_t> sector) {
  static constexpr std::uint8_t kStandardId[] = {'C', 'D', '0', '0', '1'};
  if (sector.size() < kDescriptorSize || sector[0] != kPrimaryDescriptorType ||
      !std::equal(std::begin(kStandardId), std::end(kStandardId), sector.begin() + 1))
    return fail(ErrorKind::NotSupported, "the disc holds no ISO 9660 volume");
  const auto id = sector.subspan(kVolumeIdOffset, kVolumeIdLength);
  std::string label(id.begin(), id.end());
  // d-characters never include NUL, but some authoring tools pad with it.
  const auto end = label.find_last_not_of(std::string_view(" \0", 2));
  label.erase(end == std::string::npos ? 0 : end + 1);
  return label;
}

Result<std::int64_t> volumeCreationTimeFromDescriptor(std::span<const std::uint8_t> sector) {
  auto label = volumeLabelFromDescriptor(sector);  // the same checks that it is a primary volume descriptor
  if (!label.ok()) return fail(std::move(label).error());
  const auto date = sector.subspan(kCreationDateOffset, kLongDateDigits + 1);
  if (!std::all_of(date.begin(), date.begin() + kLongDateDigits, [](std::uint8_t c) { return c >= '0' && c <= '9'; }))
    return fail(ErrorKind::NotSupported, "the disc's volume has no creation time");
  auto number = [&](std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t k = 0; k < digits; ++k) value = value * 10 + (date[at + k] - '0');
    return value;
  };
  std::tm t{};
  t.tm_year = number(0, 4) - 1900;
  t.tm_mon = number(4, 2) - 1;
  t.tm_mday = number(6, 2);
  t.tm_hour = number(8, 2);
  t.tm_min = number(10, 2);
  t.tm_sec = number(12, 2);
  if (t.tm_year < 0 || t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1)
    return fail(ErrorKind::NotSupported, "the disc's volume has no creation time");
  // The last byte is the zone's offset from UTC in quarter hours, signed.
  const auto quarters = static_cast<std::int8_t>(date[kLongDateDigits]);
  return static_cast<std::int64_t>(timegm(&t)) - std::int64_t{quarters} * 15 * 60;
}

}  // namespace emberline
