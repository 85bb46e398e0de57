#pragma once
/// @file
/// The P and Q sub-channels of a CD sector as a raw recording sends them
/// (ECMA-130 clause 22): P marks pauses, Q mode 1 carries the position.
/// R-W stay zero.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace emberline::write {

inline constexpr std::size_t kQSize = 12;        ///< 10 bytes of data and the CRC
inline constexpr std::size_t kPqBlockSize = 16;  ///< data block type 1
inline constexpr std::size_t kPwBlockSize = 96;  ///< data block type 3
inline constexpr std::uint8_t kLeadOutTrackNumber = 0xAA;

/// Where a sector lies, as Q mode 1 reports it.
struct SectorPosition {
  std::uint8_t control = 0x4;  ///< CTL nibble: 4h data track
  std::uint8_t track = 1;      ///< 1-99, AAh lead-out
  std::uint8_t index = 1;      ///< 0 in the pregap
  std::int32_t relative = 0;   ///< frames from the track start; in the pregap the frames still to go
  std::int32_t lba = 0;        ///< the absolute time is lba + 150
  bool pause = false;          ///< P: set in a pregap or the gap before the lead-out
};

/// CRC-16 with polynomial x^16 + x^12 + x^5 + 1, initial 0, not inverted.
std::uint16_t crc16Ccitt(std::span<const std::uint8_t> bytes);

/// Q mode 1: CTL/ADR, TNO, INDEX, relative MSF, zero, absolute MSF (BCD), inverted CRC big-endian.
std::array<std::uint8_t, kQSize> encodeQ(const SectorPosition& position);

/// The 16 bytes of data block type 1: Q, three zero bytes, P in bit 7 of the last.
std::array<std::uint8_t, kPqBlockSize> encodePq(const SectorPosition& position);

/// The 96 bytes of data block type 3: one byte per sub-channel symbol, P in
/// bit 7 and Q in bit 6, the Q bits most significant first.
std::array<std::uint8_t, kPwBlockSize> encodePw(const SectorPosition& position);

}  // namespace emberline::write
