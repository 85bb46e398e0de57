#pragma once
// Logical block addresses and CD minute:second:frame addresses.
// LBA 0 is MSF 00:02:00 (ECMA-130: the first 150 frames are the pregap).

#include <cstdint>
#include <string>

namespace emberline {

constexpr int32_t kFramesPerSecond = 75;
constexpr int32_t kFramesPerMinute = 60 * kFramesPerSecond;
constexpr int32_t kMsfOffset = 150;  ///< frames before LBA 0

struct Msf {
  std::uint8_t minute = 0;
  std::uint8_t second = 0;
  std::uint8_t frame = 0;

  /// Absolute frame count (MSF 00:00:00 is frame 0).
  constexpr int32_t frames() const { return minute * kFramesPerMinute + second * kFramesPerSecond + frame; }
  /// The LBA this MSF stands for. Lead-in addresses (minute >= 90) wrap to negative LBAs.
  constexpr int32_t toLba() const { return minute >= 90 ? frames() - 450150 : frames() - kMsfOffset; }
  static constexpr Msf fromLba(int32_t lba) {
    int32_t f = lba >= -kMsfOffset ? lba + kMsfOffset : lba + 450150;
    return Msf{static_cast<std::uint8_t>(f / kFramesPerMinute), static_cast<std::uint8_t>((f / kFramesPerSecond) % 60),
               static_cast<std::uint8_t>(f % kFramesPerSecond)};
  }
  friend constexpr bool operator==(Msf, Msf) = default;
  std::string toString() const;  ///< "mm:ss:ff"
};

constexpr std::uint8_t toBcd(std::uint8_t v) {
  return static_cast<std::uint8_t>(((v / 10) << 4) | (v % 10));
}
constexpr std::uint8_t fromBcd(std::uint8_t v) {
  return static_cast<std::uint8_t>((v >> 4) * 10 + (v & 0x0F));
}

}  // namespace emberline
