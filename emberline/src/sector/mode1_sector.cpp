// Mode 1: 2048 bytes of user data protected by EDC and P/Q parity.

#include <algorithm>

#include "sector/cd_sector.h"
#include "sector/ecc.h"
#include "sector/sector_fields.h"

namespace emberline::sector {

void encodeMode1(std::int32_t lba, std::span<const std::uint8_t, kUserDataSize> user,
                 std::span<std::uint8_t, kRawSectorSize> raw) {
  writeSyncHeader(lba, 1, raw);
  std::copy(user.begin(), user.end(), raw.begin() + kSyncHeaderSize);
  storeEdc(raw, 0, kMode1EdcOffset);
  std::fill(raw.begin() + kMode1ZeroOffset, raw.begin() + kMode1ZeroOffset + 8, std::uint8_t{0});
  writeEcc(raw);
}

bool decodeMode1(std::span<const std::uint8_t, kRawSectorSize> raw, std::span<std::uint8_t, kUserDataSize> user) {
  if (!hasSync(raw) || raw[15] != 1 || !edcMatches(raw, 0, kMode1EdcOffset)) return false;
  std::copy_n(raw.begin() + kSyncHeaderSize, kUserDataSize, user.begin());
  return true;
}

}  // namespace emberline::sector
