#include "mmc/write_parameters_page.h"

#include <algorithm>

#include "core/big_endian.h"
#include "mmc/mode_pages.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kMinimumPage = 2 + 0x32;  // page header plus the MMC page length 32h
constexpr std::size_t kVendorStart = 52;
constexpr std::size_t kMcnStart = 16;
constexpr std::size_t kIsrcStart = 32;
constexpr std::size_t kSubheaderStart = 48;
}  // namespace

Result<WriteParameters> decodeWriteParameters(std::span<const std::uint8_t> page) {
  if (page.size() < kMinimumPage || (page[0] & 0x3F) != kWriteParametersPageCode)
    return fail(ErrorKind::NotSupported, "write parameters page is missing or too short");
  WriteParameters p;
  p.parametersSavable = (page[0] & 0x80) != 0;
  p.pageLength = page[1];
  p.bufferUnderrunFree = (page[2] & 0x40) != 0;
  p.linkSizeValid = (page[2] & 0x20) != 0;
  p.testWrite = (page[2] & 0x10) != 0;
  p.writeType = static_cast<WriteType>(page[2] & 0x0F);
  p.multiSession = static_cast<MultiSession>(page[3] >> 6);
  p.fixedPacket = (page[3] & 0x20) != 0;
  p.copy = (page[3] & 0x10) != 0;
  p.trackMode = page[3] & 0x0F;
  p.dataBlockType = page[4] & 0x0F;
  p.linkSize = page[5];
  p.hostApplicationCode = page[7] & 0x3F;
  p.sessionFormat = page[8];
  p.packetSize = be::get32(page, 10);
  p.audioPauseLength = be::get16(page, 14);
  std::copy_n(page.begin() + kMcnStart, p.mediaCatalogNumber.size(), p.mediaCatalogNumber.begin());
  std::copy_n(page.begin() + kIsrcStart, p.isrc.size(), p.isrc.begin());
  std::copy_n(page.begin() + kSubheaderStart, p.subheader.size(), p.subheader.begin());
  const std::size_t end = std::min<std::size_t>(page.size(), 2u + p.pageLength);
  if (end > kVendorStart)
    p.vendorSpecific.assign(page.begin() + kVendorStart, page.begin() + static_cast<std::ptrdiff_t>(end));
  return p;
}

std::vector<std::uint8_t> encodeWriteParameters(const WriteParameters& p) {
  const std::size_t length = std::max<std::size_t>(kMinimumPage, 2u + p.pageLength);
  std::vector<std::uint8_t> page(length, 0);
  page[0] = kWriteParametersPageCode;
  page[1] = static_cast<std::uint8_t>(length - 2);
  page[2] = static_cast<std::uint8_t>((p.bufferUnderrunFree ? 0x40 : 0) | (p.linkSizeValid ? 0x20 : 0) |
                                      (p.testWrite ? 0x10 : 0) | (static_cast<unsigned>(p.writeType) & 0x0F));
  page[3] = static_cast<std::uint8_t>((static_cast<unsigned>(p.multiSession) << 6) | (p.fixedPacket ? 0x20 : 0) |
                                      (p.copy ? 0x10 : 0) | (p.trackMode & 0x0F));
  page[4] = p.dataBlockType & 0x0F;
  page[5] = p.linkSize;
  page[7] = p.hostApplicationCode & 0x3F;
  page[8] = p.sessionFormat;
  be::put32(page, 10, p.packetSize);
  be::put16(page, 14, p.audioPauseLength);
  std::copy(p.mediaCatalogNumber.begin(), p.mediaCatalogNumber.end(), page.begin() + kMcnStart);
  std::copy(p.isrc.begin(), p.isrc.end(), page.begin() + kIsrcStart);
  std::copy(p.subheader.begin(), p.subheader.end(), page.begin() + kSubheaderStart);
  const std::size_t vendorRoom = length > kVendorStart ? length - kVendorStart : 0;
  std::copy_n(p.vendorSpecific.begin(), std::min(vendorRoom, p.vendorSpecific.size()), page.begin() + kVendorStart);
  return page;
}

Result<WriteParameters> readWriteParameters(ScsiTransport& transport) {
  auto page = modeSense(transport, kWriteParametersPageCode);
  if (!page.ok()) return fail(std::move(page).error());
  return decodeWriteParameters(page->bytes);
}

Status writeWriteParameters(ScsiTransport& transport, const WriteParameters& parameters) {
  return modeSelect(transport, encodeWriteParameters(parameters));
}

}  // namespace emberline::mmc
