#include "image/volume_descriptor.h"

#include <algorithm>
#include <cstring>

#include "image/both_endian.h"

namespace emberline::image {

namespace {

constexpr std::uint8_t kPrimary = 1;
constexpr std::uint8_t kSupplementary = 2;
constexpr std::uint8_t kTerminator = 0xFF;
// Within the application use field (883-1394).
constexpr std::size_t kXaSignatureOffset = 1024;

// Unused room in a text field is spaces: 20h, or 0020h for UCS-2.
void putText(Sector& s, std::size_t at, std::size_t width, const std::string& text, bool ucs2) {
  for (std::size_t i = 0; i < width; ++i) s[at + i] = (ucs2 && i % 2 == 0) ? 0x00 : 0x20;
  std::memcpy(s.data() + at, text.data(), std::min(width, text.size() - text.size() % (ucs2 ? 2 : 1)));
}

}  // namespace

void writeDescriptorHeader(Sector& sector, std::uint8_t type) {
  sector.fill(0);
  sector[0] = type;
  std::memcpy(sector.data() + 1, "CD001", 5);
  sector[6] = 1;
}

Sector volumeDescriptor(const VolumeFields& f) {
  Sector s;
  writeDescriptorHeader(s, f.joliet ? kSupplementary : kPrimary);
  const bool u = f.joliet;
  putText(s, 8, 32, f.systemId, u);
  putText(s, 40, 32, f.volumeId, u);
  putBoth32(s, 80, f.volumeBlocks);
  if (f.joliet) {
    s[88] = '%';  // UCS-2 level 3
    s[89] = '/';
    s[90] = 'E';
  }
  putBoth16(s, 120, 1);  // volume set size
  putBoth16(s, 124, 1);  // volume sequence number
  putBoth16(s, 128, 2048);
  putBoth32(s, 132, f.pathTableBytes);
  putLe32(s, 140, f.lPathTable);
  be::put32(s, 148, f.mPathTable);
  writeDirectoryRecord(std::span(s).subspan(156, kRootRecordBytes), f.root);
  putText(s, 190, 128, f.volumeId, u);  // volume set identifier
  putText(s, 318, 128, f.publisherId, u);
  putText(s, 446, 128, f.preparerId, u);
  putText(s, 574, 128, f.applicationId, u);
  putText(s, 702, 37, {}, u);  // copyright file
  putText(s, 739, 37, {}, u);  // abstract file
  putText(s, 776, 37, {}, u);  // bibliographic file
  writeVolumeDate(std::span(s).subspan(813, 17), f.created);
  writeVolumeDate(std::span(s).subspan(830, 17), f.created);
  writeVolumeDate(std::span(s).subspan(847, 17), 0);
  writeVolumeDate(std::span(s).subspan(864, 17), 0);
  s[881] = 1;  // file structure version
  if (f.xa) std::memcpy(s.data() + kXaSignatureOffset, "CD-XA001", 8);
  return s;
}

Sector terminatorDescriptor() {
  Sector s;
  writeDescriptorHeader(s, kTerminator);
  return s;
}

}  // namespace emberline::image
