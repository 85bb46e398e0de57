#include "image/directory_record.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "image/both_endian.h"

namespace emberline::image {

std::size_t recordLength(std::size_t identifierBytes, std::size_t systemUseBytes) {
  const std::size_t beforeSystemUse = 33 + identifierBytes + (identifierBytes % 2 == 0 ? 1 : 0);
  return beforeSystemUse + systemUseBytes + systemUseBytes % 2;
}

void writeDirectoryRecord(std::span<std::uint8_t> out, const RecordFields& fields) {
  const std::size_t length = recordLength(fields.identifier.size(), fields.systemUse.size());
  std::fill_n(out.begin(), length, std::uint8_t{0});
  out[0] = static_cast<std::uint8_t>(length);
  putBoth32(out, 2, fields.extent);
  putBoth32(out, 10, fields.dataLength);
  writeRecordingDate(out.subspan(18, 7), fields.recorded);
  out[25] = fields.flags;
  putBoth16(out, 28, 1);  // volume sequence number
  out[32] = static_cast<std::uint8_t>(fields.identifier.size());
  std::memcpy(out.data() + 33, fields.identifier.data(), fields.identifier.size());
  if (!fields.systemUse.empty())
    std::memcpy(out.data() + recordLength(fields.identifier.size()), fields.systemUse.data(), fields.systemUse.size());
}

void writeRecordingDate(std::span<std::uint8_t> out, std::time_t when) {
  std::tm t{};
  gmtime_r(&when, &t);
  // One byte counts years from 1900.
  out[0] = static_cast<std::uint8_t>(std::clamp(t.tm_year, 0, 255));
  out[1] = static_cast<std::uint8_t>(t.tm_mon + 1);
  out[2] = static_cast<std::uint8_t>(t.tm_mday);
  out[3] = static_cast<std::uint8_t>(t.tm_hour);
  out[4] = static_cast<std::uint8_t>(t.tm_min);
  out[5] = static_cast<std::uint8_t>(t.tm_sec);
  out[6] = 0;  // UTC
}

void writeLongDate(std::span<std::uint8_t> out, std::time_t when) {
  std::tm t{};
  gmtime_r(&when, &t);
  char text[40];
  std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", std::clamp(t.tm_year + 1900, 1, 9999), t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
  std::memcpy(out.data(), text, 16);
  out[16] = 0;  // UTC
}

void writeVolumeDate(std::span<std::uint8_t> out, std::time_t when) {
  if (when == 0) {
    std::fill_n(out.begin(), 16, static_cast<std::uint8_t>('0'));
    out[16] = 0;
    return;
  }
  writeLongDate(out, when);
}

}  // namespace emberline::image
