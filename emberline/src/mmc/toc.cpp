#include "mmc/toc.h"

#include "core/big_endian.h"
#include "mmc/command_runner.h"
#include "mmc/variable_read.h"

namespace emberline::mmc {

namespace {

enum class TocFormat : std::uint8_t { Toc = 0, SessionInfo = 1, FullToc = 2, Atip = 4 };

constexpr std::size_t kHeaderLength = 4;
constexpr std::size_t kTocEntryLength = 8;
constexpr std::size_t kFullTocEntryLength = 11;
constexpr std::size_t kMaximumResponse = 0xFFFE;

Result<std::vector<std::uint8_t>> readTocFormat(ScsiTransport& transport, TocFormat format, AddressForm form,
                                                std::uint8_t trackOrSession) {
  const CommandBuilder build = [&](std::span<std::uint8_t> buffer) {
    ScsiCommand command = makeCommand(0x43, 10, DataDirection::FromDevice, buffer, timeouts::kShort);
    command.cdb[1] = form == AddressForm::Msf ? 0x02 : 0x00;
    command.cdb[2] = static_cast<std::uint8_t>(format);
    command.cdb[6] = trackOrSession;
    be::put16(command.cdb, 7, static_cast<std::uint16_t>(buffer.size()));
    return command;
  };
  return readVariableLength(transport, build, LengthField{0, 2}, kHeaderLength, kMaximumResponse, "READ TOC/PMA/ATIP");
}

std::int32_t addressAt(std::span<const std::uint8_t> data, std::size_t at, AddressForm form) {
  if (form == AddressForm::Lba) return static_cast<std::int32_t>(be::get32(data, at));
  return Msf{data[at + 1], data[at + 2], data[at + 3]}.toLba();
}

Msf msfAt(std::span<const std::uint8_t> data, std::size_t at) {
  return Msf{data[at], data[at + 1], data[at + 2]};
}

std::array<std::uint8_t, 3> tripleAt(std::span<const std::uint8_t> data, std::size_t at) {
  return {data[at], data[at + 1], data[at + 2]};
}

}  // namespace

Toc decodeToc(std::span<const std::uint8_t> response, AddressForm form) {
  Toc toc;
  toc.response.assign(response.begin(), response.end());
  if (response.size() < kHeaderLength) return toc;
  toc.firstTrack = response[2];
  toc.lastTrack = response[3];
  for (std::size_t at = kHeaderLength; at + kTocEntryLength <= response.size(); at += kTocEntryLength) {
    toc.entries.push_back(TocEntry{static_cast<std::uint8_t>(response[at + 1] >> 4),
                                   static_cast<std::uint8_t>(response[at + 1] & 0x0F), response[at + 2],
                                   addressAt(response, at + 4, form)});
  }
  return toc;
}

FullToc decodeFullToc(std::span<const std::uint8_t> response) {
  FullToc toc;
  if (response.size() < kHeaderLength) return toc;
  toc.firstSession = response[2];
  toc.lastSession = response[3];
  for (std::size_t at = kHeaderLength; at + kFullTocEntryLength <= response.size(); at += kFullTocEntryLength) {
    FullTocEntry e;
    e.session = response[at];
    e.adr = static_cast<std::uint8_t>(response[at + 1] >> 4);
    e.control = response[at + 1] & 0x0F;
    e.tno = response[at + 2];
    e.point = response[at + 3];
    e.atime = msfAt(response, at + 4);
    e.ptime = msfAt(response, at + 8);
    toc.entries.push_back(e);
  }
  return toc;
}

Atip decodeAtip(std::span<const std::uint8_t> response) {
  Atip a;
  if (response.size() < 15) return a;
  a.writingPower = (response[4] >> 4) & 0x07;
  a.ddcd = (response[4] & 0x08) != 0;
  a.referenceSpeed = response[4] & 0x07;
  a.unrestrictedUse = (response[5] & 0x40) != 0;
  a.rewritable = (response[6] & 0x40) != 0;
  a.discSubType = (response[6] >> 3) & 0x07;
  a.a1Valid = (response[6] & 0x04) != 0;
  a.a2Valid = (response[6] & 0x02) != 0;
  a.a3Valid = (response[6] & 0x01) != 0;
  a.leadInStart = msfAt(response, 8);
  a.lastLeadOutStart = msfAt(response, 12);
  // Drives differ in how much of the optional tail they send; take what is there.
  if (response.size() >= 19) a.a1 = tripleAt(response, 16);
  if (response.size() >= 23) a.a2 = tripleAt(response, 20);
  if (response.size() >= 27) a.a3 = tripleAt(response, 24);
  if (response.size() >= 31) a.s4 = tripleAt(response, 28);
  return a;
}

Result<Toc> readToc(ScsiTransport& transport, AddressForm form, std::uint8_t startingTrack) {
  auto response = readTocFormat(transport, TocFormat::Toc, form, startingTrack);
  if (!response.ok()) return fail(std::move(response).error());
  return decodeToc(*response, form);
}

Result<SessionInfo> readSessionInfo(ScsiTransport& transport, AddressForm form) {
  auto response = readTocFormat(transport, TocFormat::SessionInfo, form, 0);
  if (!response.ok()) return fail(std::move(response).error());
  const Toc toc = decodeToc(*response, form);
  SessionInfo info{toc.firstTrack, toc.lastTrack, 0, 0};
  if (!toc.entries.empty()) {
    info.firstTrackInLastSession = toc.entries.front().track;
    info.lastSessionStartLba = toc.entries.front().lba;
  }
  return info;
}

Result<FullToc> readFullToc(ScsiTransport& transport, std::uint8_t startingSession) {
  // The full TOC always comes in MSF; the MSF bit is set as the standard asks.
  auto response = readTocFormat(transport, TocFormat::FullToc, AddressForm::Msf, startingSession);
  if (!response.ok()) return fail(std::move(response).error());
  return decodeFullToc(*response);
}

Result<Atip> readAtip(ScsiTransport& transport) {
  auto response = readTocFormat(transport, TocFormat::Atip, AddressForm::Msf, 0);
  if (!response.ok()) return fail(std::move(response).error());
  if (response->size() < 15) return fail(ErrorKind::NotSupported, "READ TOC/PMA/ATIP failed: the medium has no ATIP");
  return decodeAtip(*response);
}

}  // namespace emberline::mmc
