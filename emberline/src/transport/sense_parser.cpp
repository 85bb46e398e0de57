#include "transport/sense_parser.h"

namespace emberline {

namespace {
constexpr std::size_t kFixedKeyByte = 2;
constexpr std::size_t kFixedAscByte = 12;
constexpr std::size_t kFixedAscqByte = 13;
constexpr std::size_t kDescriptorMinimum = 4;
}  // namespace

SenseData parseSense(std::span<const std::uint8_t> sense) {
  SenseData out;
  if (sense.empty()) return out;
  const std::uint8_t responseCode = sense[0] & 0x7F;
  if (responseCode == 0x70 || responseCode == 0x71) {
    if (sense.size() <= kFixedKeyByte) return out;
    out.key = sense[kFixedKeyByte] & 0x0F;
    // Some devices stop after the key; a missing ASC must read as zero, not as garbage.
    if (sense.size() > kFixedAscByte) out.asc = sense[kFixedAscByte];
    if (sense.size() > kFixedAscqByte) out.ascq = sense[kFixedAscqByte];
  } else if (responseCode == 0x72 || responseCode == 0x73) {
    if (sense.size() < kDescriptorMinimum) return out;
    out.key = sense[1] & 0x0F;
    out.asc = sense[2];
    out.ascq = sense[3];
  }
  return out;
}

}  // namespace emberline
