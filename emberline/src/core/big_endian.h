#pragma once
// Big-endian field access for SCSI blocks and ISO 9660 "M" fields.

#include <cstddef>
#include <cstdint>
#include <span>

namespace emberline::be {

inline std::uint16_t get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}
inline std::uint32_t get24(std::span<const std::uint8_t> b, std::size_t at) {
  return (std::uint32_t{b[at]} << 16) | (std::uint32_t{b[at + 1]} << 8) | b[at + 2];
}
inline std::uint32_t get32(std::span<const std::uint8_t> b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) | b[at + 3];
}
inline void put16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 8);
  b[at + 1] = static_cast<std::uint8_t>(v);
}
inline void put24(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 16);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  b[at + 2] = static_cast<std::uint8_t>(v);
}
inline void put32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v >> 24);
  b[at + 1] = static_cast<std::uint8_t>(v >> 16);
  b[at + 2] = static_cast<std::uint8_t>(v >> 8);
  b[at + 3] = static_cast<std::uint8_t>(v);
}

}  // namespace emberline::be
