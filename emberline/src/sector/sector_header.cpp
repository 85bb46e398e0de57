// Sync pattern, header and the identification of a raw sector.

#include <algorithm>
#include <array>

#include "core/msf.h"
#include "sector/cd_sector.h"
#include "sector/sector_fields.h"

namespace emberline::sector {
namespace {

constexpr std::array<std::uint8_t, kSyncSize> kSync = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                       0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

bool isBcd(std::uint8_t v) {
  return (v >> 4) <= 9 && (v & 0x0F) <= 9;
}

}  // namespace

void writeSyncHeader(std::int32_t lba, std::uint8_t mode, std::span<std::uint8_t, kRawSectorSize> raw) {
  std::copy(kSync.begin(), kSync.end(), raw.begin());
  const Msf msf = Msf::fromLba(lba);
  raw[12] = toBcd(msf.minute);
  raw[13] = toBcd(msf.second);
  raw[14] = toBcd(msf.frame);
  raw[15] = mode;
}

bool hasSync(std::span<const std::uint8_t, kRawSectorSize> raw) {
  return std::equal(kSync.begin(), kSync.end(), raw.begin());
}

void storeEdc(std::span<std::uint8_t, kRawSectorSize> raw, std::size_t from, std::size_t at) {
  const std::uint32_t v = edc(std::span<const std::uint8_t>(raw.data() + from, at - from));
  for (std::size_t i = 0; i < 4; ++i) raw[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint32_t storedEdc(std::span<const std::uint8_t, kRawSectorSize> raw, std::size_t at) {
  return std::uint32_t{raw[at]} | (std::uint32_t{raw[at + 1]} << 8) | (std::uint32_t{raw[at + 2]} << 16) |
         (std::uint32_t{raw[at + 3]} << 24);
}

bool edcMatches(std::span<const std::uint8_t, kRawSectorSize> raw, std::size_t from, std::size_t at) {
  return edc(raw.subspan(from, at - from)) == storedEdc(raw, at);
}

SectorInfo inspect(std::span<const std::uint8_t, kRawSectorSize> raw) {
  SectorInfo info;
  info.syncValid = hasSync(raw);
  if (!info.syncValid) return info;

  const std::uint8_t m = raw[12], s = raw[13], f = raw[14];
  if (isBcd(m) && isBcd(s) && isBcd(f) && fromBcd(s) < 60 && fromBcd(f) < kFramesPerSecond) {
    info.headerValid = true;
    info.lba = Msf{fromBcd(m), fromBcd(s), fromBcd(f)}.toLba();
  }

  switch (raw[15]) {
    case 0:
      info.kind = SectorKind::Mode0;
      info.edcValid = true;
      break;
    case 1:
      info.kind = SectorKind::Mode1;
      info.edcValid = edcMatches(raw, 0, kMode1EdcOffset);
      break;
    case 2: {
      const Subheader first{raw[16], raw[17], raw[18], raw[19]};
      const Subheader copy{raw[20], raw[21], raw[22], raw[23]};
      if (first != copy) {
        info.kind = SectorKind::Mode2Formless;
        info.edcValid = true;
        break;
      }
      info.subheader = first;
      if (first.submode & submode::kForm2) {
        info.kind = SectorKind::Mode2Form2;
        info.edcValid = storedEdc(raw, kForm2EdcOffset) == 0 || edcMatches(raw, 16, kForm2EdcOffset);
      } else {
        info.kind = SectorKind::Mode2Form1;
        info.edcValid = edcMatches(raw, 16, kForm1EdcOffset);
      }
      break;
    }
    default:
      break;
  }
  return info;
}

}  // namespace emberline::sector
