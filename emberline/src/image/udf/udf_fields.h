#pragma once
/**
 * @file
 * The small recorded structures of a UDF 1.02 volume: descriptor tags with
 * their CRC and checksum, d-strings and compressed-unicode names, character
 * set specifications, timestamps and entity identifiers. All numbers are
 * little-endian.
 */

#include <cstdint>
#include <ctime>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace emberline::image::udf {

using Bytes = std::span<std::uint8_t>;

inline constexpr std::uint16_t kDescriptorVersion = 2;
inline constexpr std::uint16_t kUdfRevision = 0x0102;

/// Tag identifiers of the descriptors written here.
enum class Tag : std::uint16_t {
  PrimaryVolume = 1,
  AnchorPointer = 2,
  ImplementationUseVolume = 4,
  Partition = 5,
  LogicalVolume = 6,
  UnallocatedSpace = 7,
  Terminating = 8,
  LogicalVolumeIntegrity = 9,
  FileSet = 256,
  FileIdentifier = 257,
  FileEntry = 261,
};

void put8(Bytes b, std::size_t at, std::uint8_t v);
void put16(Bytes b, std::size_t at, std::uint16_t v);
void put32(Bytes b, std::size_t at, std::uint32_t v);
void put64(Bytes b, std::size_t at, std::uint64_t v);

/// CRC-ITU-T (x^16 + x^12 + x^5 + 1, initial value 0) of `bytes`.
std::uint16_t crcItu(std::span<const std::uint8_t> bytes);

/// Fills the 16-byte tag at the start of `descriptor`, whose body is everything after the tag;
/// `location` is the block the descriptor is recorded in (partition-relative inside a partition).
void finishTag(Bytes descriptor, Tag id, std::uint32_t location);

/// A d-string of `field.size()` bytes: compression ID, characters, used length in the last byte.
void putDString(Bytes field, std::string_view utf8);
/// A file identifier in OSTA compressed unicode: 8-bit when every character fits, else 16-bit.
std::vector<std::uint8_t> compressedName(std::string_view utf8, std::size_t maxBytes);
/// The 64-byte character set specification "OSTA Compressed Unicode".
void putCharSpec(Bytes b, std::size_t at);
/// A 12-byte timestamp in local time with its offset from UTC.
void putTimestamp(Bytes b, std::size_t at, std::time_t when);

enum class EntityKind {
  Domain,          ///< suffix: UDF revision and domain flags
  UdfDefined,      ///< suffix: UDF revision and operating system
  Implementation,  ///< suffix: operating system
  Plain,           ///< no suffix
};
/// A 32-byte entity identifier; `identifier` is cut to its 23 bytes.
void putEntity(Bytes b, std::size_t at, std::string_view identifier, EntityKind kind);

/// Who wrote the volume, in every implementation identifier.
inline constexpr std::string_view kImplementation = "*Emberline";
inline constexpr std::string_view kDomain = "*OSTA UDF Compliant";

}  // namespace emberline::image::udf
