// Mode 2 sectors: the XA forms and the formless body.

#include <algorithm>
#include <array>

#include "sector/cd_sector.h"
#include "sector/ecc.h"
#include "sector/sector_fields.h"

namespace emberline::sector {
namespace {

void writeSubheader(Subheader sh, std::span<std::uint8_t, kRawSectorSize> raw) {
  for (std::size_t copy = 0; copy < 2; ++copy) {
    const std::size_t at = kSyncHeaderSize + 4 * copy;
    raw[at] = sh.file;
    raw[at + 1] = sh.channel;
    raw[at + 2] = sh.submode;
    raw[at + 3] = sh.coding;
  }
}

}  // namespace

void encodeMode2Form1(std::int32_t lba, Subheader subheader, std::span<const std::uint8_t, kUserDataSize> user,
                      std::span<std::uint8_t, kRawSectorSize> raw) {
  subheader.submode = static_cast<std::uint8_t>(subheader.submode & ~submode::kForm2);
  writeSubheader(subheader, raw);
  std::copy(user.begin(), user.end(), raw.begin() + kForm1DataOffset);
  storeEdc(raw, kSyncHeaderSize, kForm1EdcOffset);
  // The parity of a Form 1 sector does not cover the address, so a sector can
  // be moved (and its header rewritten) without recomputing P and Q.
  std::fill_n(raw.begin() + kSyncSize, kHeaderSize, std::uint8_t{0});
  writeEcc(raw);
  writeSyncHeader(lba, 2, raw);
}

void encodeMode2Form2(std::int32_t lba, Subheader subheader, std::span<const std::uint8_t, kForm2DataSize> user,
                      std::span<std::uint8_t, kRawSectorSize> raw, Form2Edc edc) {
  writeSyncHeader(lba, 2, raw);
  subheader.submode = static_cast<std::uint8_t>(subheader.submode | submode::kForm2);
  writeSubheader(subheader, raw);
  std::copy(user.begin(), user.end(), raw.begin() + kForm1DataOffset);
  if (edc == Form2Edc::Computed)
    storeEdc(raw, kSyncHeaderSize, kForm2EdcOffset);
  else
    std::fill_n(raw.begin() + kForm2EdcOffset, 4, std::uint8_t{0});
}

void encodeMode2Formless(std::int32_t lba, std::span<const std::uint8_t, kMode2BodySize> body,
                         std::span<std::uint8_t, kRawSectorSize> raw) {
  writeSyncHeader(lba, 2, raw);
  std::copy(body.begin(), body.end(), raw.begin() + kSyncHeaderSize);
}

std::span<const std::uint8_t, kMode2BodySize> mode2Body(std::span<const std::uint8_t, kRawSectorSize> raw) {
  return raw.subspan<kSyncHeaderSize, kMode2BodySize>();
}

bool decodeMode2Form1(std::span<const std::uint8_t, kRawSectorSize> raw, std::span<std::uint8_t, kUserDataSize> user,
                      Subheader* subheader) {
  const SectorInfo info = inspect(raw);
  if (info.kind != SectorKind::Mode2Form1 || !info.edcValid) return false;
  std::copy_n(raw.begin() + kForm1DataOffset, kUserDataSize, user.begin());
  if (subheader) *subheader = info.subheader;
  return true;
}

bool decodeMode2Form2(std::span<const std::uint8_t, kRawSectorSize> raw, std::span<std::uint8_t, kForm2DataSize> user,
                      Subheader* subheader) {
  const SectorInfo info = inspect(raw);
  if (info.kind != SectorKind::Mode2Form2 || !info.edcValid) return false;
  std::copy_n(raw.begin() + kForm1DataOffset, kForm2DataSize, user.begin());
  if (subheader) *subheader = info.subheader;
  return true;
}

}  // namespace emberline::sector
