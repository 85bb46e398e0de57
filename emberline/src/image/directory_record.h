#pragma once
/// @file ECMA-119 directory records and the two date formats of a volume.

#include <cstdint>
#include <ctime>
#include <span>
#include <string_view>

namespace emberline::image {

inline constexpr std::uint8_t kFlagDirectory = 0x02;
/// Set on every record of a multi-extent file but its last.
inline constexpr std::uint8_t kFlagMultiExtent = 0x80;
inline constexpr std::size_t kRootRecordBytes = 34;

struct RecordFields {
  std::uint32_t extent = 0;
  std::uint32_t dataLength = 0;
  std::time_t recorded = 0;
  std::uint8_t flags = 0;
  std::string_view identifier;              ///< recorded bytes; "\0" is '.', "\1" is '..'
  std::span<const std::uint8_t> systemUse;  ///< after the identifier (CD-ROM XA attributes)
};

/// Length of a record with an identifier of `identifierBytes` and
/// `systemUseBytes` of system use (padding included: a record's length is even).
std::size_t recordLength(std::size_t identifierBytes, std::size_t systemUseBytes = 0);
/// Writes the record at the start of `out`, which must hold recordLength bytes.
void writeDirectoryRecord(std::span<std::uint8_t> out, const RecordFields& fields);
/// Seven-byte recording date and time, in UTC.
void writeRecordingDate(std::span<std::uint8_t> out, std::time_t when);
/// The 17-byte long form of a date and time (digits, then the zone offset), in UTC.
void writeLongDate(std::span<std::uint8_t> out, std::time_t when);
/// Seventeen-byte descriptor date ("YYYYMMDDHHMMSScc" and offset), in UTC; 0 means not specified.
void writeVolumeDate(std::span<std::uint8_t> out, std::time_t when);

}  // namespace emberline::image
