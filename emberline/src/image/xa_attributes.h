#pragma once
/// @file CD-ROM XA system-use bytes of a directory record: owner, attributes, "XA" and the file number.

#include <array>
#include <cstdint>

namespace emberline::image {

/// XA attribute bits (big-endian in the record).
namespace xa {
inline constexpr std::uint16_t kOwnerRead = 0x0001;
inline constexpr std::uint16_t kOwnerExecute = 0x0004;
inline constexpr std::uint16_t kGroupRead = 0x0010;
inline constexpr std::uint16_t kGroupExecute = 0x0040;
inline constexpr std::uint16_t kWorldRead = 0x0100;
inline constexpr std::uint16_t kWorldExecute = 0x0400;
inline constexpr std::uint16_t kMode2Form1 = 0x0800;
inline constexpr std::uint16_t kMode2Form2 = 0x1000;
inline constexpr std::uint16_t kInterleaved = 0x2000;
inline constexpr std::uint16_t kCdda = 0x4000;
inline constexpr std::uint16_t kDirectory = 0x8000;
/// Read and execute for everyone.
inline constexpr std::uint16_t kEveryone =
    kOwnerRead | kOwnerExecute | kGroupRead | kGroupExecute | kWorldRead | kWorldExecute;
}  // namespace xa

inline constexpr std::size_t kXaSystemUseBytes = 14;

/// The 14 bytes: group 0, user 0, attributes, "XA", file number, five zeros.
inline std::array<std::uint8_t, kXaSystemUseBytes> xaSystemUse(std::uint16_t attributes, std::uint8_t fileNumber) {
  return {0,
          0,
          0,
          0,
          static_cast<std::uint8_t>(attributes >> 8),
          static_cast<std::uint8_t>(attributes),
          'X',
          'A',
          fileNumber,
          0,
          0,
          0,
          0,
          0};
}

}  // namespace emberline::image
