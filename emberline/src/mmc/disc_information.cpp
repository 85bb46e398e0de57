#include "mmc/disc_information.h"

#include <algorithm>
#include <array>

#include "core/big_endian.h"
#include "core/msf.h"
#include "mmc/command_runner.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kDiscInformationLength = 34;
constexpr std::size_t kTrackInformationLength = 48;
constexpr std::uint8_t kByTrackNumber = 0x01;

// Response fields beyond what the drive sent read as zero, so short
// (older-standard) replies decode without reading past the data.
struct Reader {
  std::span<const std::uint8_t> data;
  std::uint8_t byte(std::size_t at) const { return at < data.size() ? data[at] : 0; }
  bool bit(std::size_t at, int n) const { return ((byte(at) >> n) & 1) != 0; }
  std::uint32_t u32(std::size_t at) const { return at + 4 <= data.size() ? be::get32(data, at) : 0; }
};

std::size_t declaredLength(std::span<const std::uint8_t> data) {
  return data.size() < 2 ? data.size() : std::min<std::size_t>(data.size(), be::get16(data, 0) + 2u);
}
}  // namespace

std::int32_t DiscInformation::addressToLba(std::uint32_t field, bool cdMsf) {
  if (!cdMsf) return static_cast<std::int32_t>(field);
  const Msf msf{static_cast<std::uint8_t>(field >> 16), static_cast<std::uint8_t>(field >> 8),
                static_cast<std::uint8_t>(field)};
  return msf.toLba();
}

DiscInformation decodeDiscInformation(std::span<const std::uint8_t> response) {
  const Reader r{response.first(declaredLength(response))};
  DiscInformation d;
  d.erasable = r.bit(2, 4);
  d.lastSessionState = static_cast<SessionState>((r.byte(2) >> 2) & 0x03);
  d.discStatus = static_cast<DiscStatus>(r.byte(2) & 0x03);
  d.firstTrack = r.byte(3);
  d.sessions = static_cast<std::uint16_t>((r.byte(9) << 8) | r.byte(4));
  d.firstTrackInLastSession = static_cast<std::uint16_t>((r.byte(10) << 8) | r.byte(5));
  d.lastTrackInLastSession = static_cast<std::uint16_t>((r.byte(11) << 8) | r.byte(6));
  d.discIdValid = r.bit(7, 7);
  d.barCodeValid = r.bit(7, 6);
  d.unrestrictedUse = r.bit(7, 5);
  d.applicationCodeValid = r.bit(7, 4);
  d.backgroundFormatStatus = r.byte(7) & 0x03;
  d.discType = r.byte(8);
  d.discId = r.u32(12);
  d.lastSessionLeadIn = r.u32(16);
  d.lastPossibleLeadOut = r.u32(20);
  d.applicationCode = r.byte(32);
  d.opcTableCount = r.byte(33);
  return d;
}

Result<DiscInformation> readDiscInformation(ScsiTransport& transport) {
  std::array<std::uint8_t, kDiscInformationLength> buffer{};
  ScsiCommand command = makeCommand(0x51, 10, DataDirection::FromDevice, buffer, timeouts::kShort);
  be::put16(command.cdb, 7, static_cast<std::uint16_t>(buffer.size()));
  auto transferred = runCommand(transport, command, "READ DISC INFORMATION");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < 4) return fail(ErrorKind::Transport, "READ DISC INFORMATION failed: response too short");
  return decodeDiscInformation(std::span<const std::uint8_t>(buffer.data(), *transferred));
}

TrackInformation decodeTrackInformation(std::span<const std::uint8_t> response) {
  const Reader r{response.first(declaredLength(response))};
  TrackInformation t;
  t.trackNumber = static_cast<std::uint16_t>((r.byte(32) << 8) | r.byte(2));
  t.sessionNumber = static_cast<std::uint16_t>((r.byte(33) << 8) | r.byte(3));
  t.damage = r.bit(5, 5);
  t.copy = r.bit(5, 4);
  t.trackMode = r.byte(5) & 0x0F;
  t.reservedTrack = r.bit(6, 7);
  t.blank = r.bit(6, 6);
  t.packet = r.bit(6, 5);
  t.fixedPacket = r.bit(6, 4);
  t.dataMode = r.byte(6) & 0x0F;
  t.lastRecordedAddressValid = r.bit(7, 1);
  t.nextWritableAddressValid = r.bit(7, 0);
  t.startAddress = static_cast<std::int32_t>(r.u32(8));
  t.nextWritableAddress = static_cast<std::int32_t>(r.u32(12));
  t.freeBlocks = r.u32(16);
  t.fixedPacketSize = r.u32(20);
  t.trackSize = r.u32(24);
  t.lastRecordedAddress = static_cast<std::int32_t>(r.u32(28));
  return t;
}

Result<TrackInformation> readTrackInformation(ScsiTransport& transport, std::uint32_t track) {
  std::array<std::uint8_t, kTrackInformationLength> buffer{};
  ScsiCommand command = makeCommand(0x52, 10, DataDirection::FromDevice, buffer, timeouts::kShort);
  command.cdb[1] = kByTrackNumber;
  be::put32(command.cdb, 2, track);
  be::put16(command.cdb, 7, static_cast<std::uint16_t>(buffer.size()));
  auto transferred = runCommand(transport, command, "READ TRACK INFORMATION");
  if (!transferred.ok()) return fail(std::move(transferred).error());
  if (*transferred < 4) return fail(ErrorKind::Transport, "READ TRACK INFORMATION failed: response too short");
  return decodeTrackInformation(std::span<const std::uint8_t>(buffer.data(), *transferred));
}

}  // namespace emberline::mmc
