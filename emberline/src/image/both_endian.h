#pragma once
// Little-endian and both-byte-order fields of ISO 9660 descriptors. A
// both-byte-order field holds the little-endian copy first, then the big one.

#include <cstddef>
#include <cstdint>
#include <span>

#include "core/big_endian.h"

namespace emberline::image {

inline void putLe16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putLe32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void putBoth16(std::span<std::uint8_t> b, std::size_t at, std::uint16_t v) {
  putLe16(b, at, v);
  be::put16(b, at + 2, v);
}
inline void putBoth32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
  putLe32(b, at, v);
  be::put32(b, at + 4, v);
}

}  // namespace emberline::image
