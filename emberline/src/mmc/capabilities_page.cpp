#include "mmc/capabilities_page.h"

#include "core/big_endian.h"
#include "mmc/mode_pages.h"

namespace emberline::mmc {

namespace {
constexpr std::size_t kDescriptorCountOffset = 30;
constexpr std::size_t kFirstDescriptor = 32;
constexpr std::size_t kDescriptorLength = 4;
}  // namespace

Capabilities decodeCapabilities(std::span<const std::uint8_t> page) {
  // Old drives send 14h or 18h bytes; a short page must not read past its end.
  const auto byte = [&](std::size_t at) -> std::uint8_t { return at < page.size() ? page[at] : 0; };
  const auto bit = [&](std::size_t at, int n) { return ((byte(at) >> n) & 1) != 0; };
  const auto word = [&](std::size_t at) { return static_cast<std::uint16_t>((byte(at) << 8) | byte(at + 1)); };
  Capabilities c;
  c.readCdR = bit(2, 0);
  c.readCdRw = bit(2, 1);
  c.readMethod2 = bit(2, 2);
  c.readDvdRom = bit(2, 3);
  c.readDvdR = bit(2, 4);
  c.readDvdRam = bit(2, 5);
  c.writeCdR = bit(3, 0);
  c.writeCdRw = bit(3, 1);
  c.testWrite = bit(3, 2);
  c.writeDvdR = bit(3, 4);
  c.writeDvdRam = bit(3, 5);
  c.audioPlay = bit(4, 0);
  c.mode2Form1 = bit(4, 4);
  c.mode2Form2 = bit(4, 5);
  c.multiSession = bit(4, 6);
  c.bufferUnderrunProtection = bit(4, 7);
  c.cddaRead = bit(5, 0);
  c.cddaAccurateStream = bit(5, 1);
  c.rwSupported = bit(5, 2);
  c.rwDeinterleaved = bit(5, 3);
  c.c2Pointers = bit(5, 4);
  c.readIsrc = bit(5, 5);
  c.readUpc = bit(5, 6);
  c.readBarCode = bit(5, 7);
  c.lock = bit(6, 0);
  c.lockState = bit(6, 1);
  c.preventJumper = bit(6, 2);
  c.eject = bit(6, 3);
  c.loadingMechanism = static_cast<std::uint8_t>(byte(6) >> 5);
  c.rwInLeadIn = bit(7, 5);
  c.maximumReadSpeedKBps = word(8);
  c.bufferSizeKB = word(12);
  c.currentReadSpeedKBps = word(14);
  c.maximumWriteSpeedKBps = word(18);
  c.currentWriteSpeedKBps = page.size() >= 30 ? word(28) : word(20);
  if (page.size() >= kFirstDescriptor) {
    const std::size_t count = word(kDescriptorCountOffset);
    for (std::size_t i = 0; i < count; ++i) {
      const std::size_t at = kFirstDescriptor + i * kDescriptorLength;
      if (at + kDescriptorLength > page.size()) break;
      c.writeSpeeds.push_back(WriteSpeedDescriptor{static_cast<std::uint8_t>(page[at + 1] & 0x07), word(at + 2)});
    }
  }
  return c;
}

Result<Capabilities> readCapabilities(ScsiTransport& transport) {
  auto page = modeSense(transport, kCapabilitiesPageCode);
  if (!page.ok()) return fail(std::move(page).error());
  return decodeCapabilities(page->bytes);
}

}  // namespace emberline::mmc
