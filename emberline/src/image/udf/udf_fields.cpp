#include "image/udf/udf_fields.h"

#include <algorithm>
#include <array>

#include "image/utf8.h"

namespace emberline::image::udf {

void put8(Bytes b, std::size_t at, std::uint8_t v) {
  b[at] = v;
}
void put16(Bytes b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(Bytes b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void put64(Bytes b, std::size_t at, std::uint64_t v) {
  for (std::size_t i = 0; i < 8; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint16_t crcItu(std::span<const std::uint8_t> bytes) {
  static const auto table = [] {
    std::array<std::uint16_t, 256> t{};
    for (unsigned i = 0; i < 256; ++i) {
      std::uint16_t crc = static_cast<std::uint16_t>(i << 8);
      for (int bit = 0; bit < 8; ++bit)
        crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
      t[i] = crc;
    }
    return t;
  }();
  std::uint16_t crc = 0;
  for (std::uint8_t byte : bytes) crc = static_cast<std::uint16_t>((crc << 8) ^ table[((crc >> 8) ^ byte) & 0xFF]);
  return crc;
}

void finishTag(Bytes descriptor, Tag id, std::uint32_t location) {
  const auto body = descriptor.subspan(16);
  put16(descriptor, 0, static_cast<std::uint16_t>(id));
  put16(descriptor, 2, kDescriptorVersion);
  put8(descriptor, 5, 0);
  put16(descriptor, 6, 1);  // serial number: one volume, one serial
  put16(descriptor, 8, crcItu(body));
  put16(descriptor, 10, static_cast<std::uint16_t>(body.size()));
  put32(descriptor, 12, location);
  unsigned sum = 0;
  for (std::size_t i = 0; i < 16; ++i)
    if (i != 4) sum += descriptor[i];
  descriptor[4] = static_cast<std::uint8_t>(sum);
}

namespace {

std::u32string codePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t at = 0; at < utf8.size();) {
    const char32_t c = nextCodePoint(utf8, at);
    out += c > 0xFFFF ? kReplacement : c;  // compressed unicode holds UCS-2 only
  }
  return out;
}

/// Compression ID and characters, at most `maxBytes` bytes in all.
std::vector<std::uint8_t> compress(std::string_view utf8, std::size_t maxBytes) {
  const std::u32string text = codePoints(utf8);
  const bool wide = std::any_of(text.begin(), text.end(), [](char32_t c) { return c > 0xFF; });
  std::vector<std::uint8_t> out{static_cast<std::uint8_t>(wide ? 16 : 8)};
  for (char32_t c : text) {
    if (out.size() + (wide ? 2 : 1) > maxBytes) break;
    if (wide) out.push_back(static_cast<std::uint8_t>(c >> 8));
    out.push_back(static_cast<std::uint8_t>(c));
  }
  return out;
}

}  // namespace

void putDString(Bytes field, std::string_view utf8) {
  std::fill(field.begin(), field.end(), 0);
  if (utf8.empty() || field.size() < 2) return;
  const auto bytes = compress(utf8, field.size() - 1);
  std::copy(bytes.begin(), bytes.end(), field.begin());
  field.back() = static_cast<std::uint8_t>(bytes.size());
}

std::vector<std::uint8_t> compressedName(std::string_view utf8, std::size_t maxBytes) {
  return compress(utf8, maxBytes);
}

void putCharSpec(Bytes b, std::size_t at) {
  static constexpr std::string_view kName = "OSTA Compressed Unicode";
  std::fill(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 64), 0);
  b[at] = 0;  // CS0
  std::copy(kName.begin(), kName.end(), b.begin() + static_cast<long>(at + 1));
}

void putTimestamp(Bytes b, std::size_t at, std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  const long minutes = local.tm_gmtoff / 60;
  put16(b, at, static_cast<std::uint16_t>((1u << 12) | (static_cast<std::uint16_t>(minutes) & 0x0FFF)));
  put16(b, at + 2, static_cast<std::uint16_t>(local.tm_year + 1900));
  b[at + 4] = static_cast<std::uint8_t>(local.tm_mon + 1);
  b[at + 5] = static_cast<std::uint8_t>(local.tm_mday);
  b[at + 6] = static_cast<std::uint8_t>(local.tm_hour);
  b[at + 7] = static_cast<std::uint8_t>(local.tm_min);
  b[at + 8] = static_cast<std::uint8_t>(std::min(local.tm_sec, 59));
  b[at + 9] = b[at + 10] = b[at + 11] = 0;
}

void putEntity(Bytes b, std::size_t at, std::string_view identifier, EntityKind kind) {
  std::fill(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + 32), 0);
  identifier = identifier.substr(0, 23);
  std::copy(identifier.begin(), identifier.end(), b.begin() + static_cast<long>(at + 1));
  const std::size_t suffix = at + 24;
  switch (kind) {
    case EntityKind::Domain:
      put16(b, suffix, kUdfRevision);
      break;  // domain flags stay clear: not write-protected by the recorder
    case EntityKind::UdfDefined:
      put16(b, suffix, kUdfRevision);
      break;  // operating system class and identifier: undefined
    case EntityKind::Implementation:
    case EntityKind::Plain:
      break;
  }
}

}  // namespace emberline::image::udf
