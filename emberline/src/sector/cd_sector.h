#pragma once
/// @file
/// CD-ROM sector layouts (ECMA-130): sync, header, Mode 1, Mode 2 XA Form 1 /
/// Form 2 and formless Mode 2, with their EDC and P/Q parity.
///
/// All functions work on caller-owned buffers of fixed size, so a sector can
/// never be built short or read past its end.

#include <cstddef>
#include <cstdint>
#include <span>

namespace emberline::sector {

constexpr std::size_t kRawSectorSize = 2352;  ///< a whole sector as written on the disc (unscrambled)
constexpr std::size_t kSyncSize = 12;         ///< 00 FF x10 00
constexpr std::size_t kHeaderSize = 4;        ///< minute, second, frame (BCD), mode
constexpr std::size_t kSyncHeaderSize = kSyncSize + kHeaderSize;
constexpr std::size_t kUserDataSize = 2048;   ///< Mode 1 and Mode 2 Form 1 user data
constexpr std::size_t kMode2BodySize = 2336;  ///< everything after the header of a Mode 2 sector
constexpr std::size_t kForm2DataSize = 2324;  ///< Mode 2 Form 2 user data
constexpr std::size_t kSubheaderSize = 8;     ///< the 4-byte subheader and its copy

/// Submode byte bits of the XA subheader.
namespace submode {
constexpr std::uint8_t kEndOfRecord = 0x01;
constexpr std::uint8_t kVideo = 0x02;
constexpr std::uint8_t kAudio = 0x04;
constexpr std::uint8_t kData = 0x08;
constexpr std::uint8_t kTrigger = 0x10;
constexpr std::uint8_t kForm2 = 0x20;
constexpr std::uint8_t kRealTime = 0x40;
constexpr std::uint8_t kEndOfFile = 0x80;
}  // namespace submode

/// The XA subheader of a Mode 2 sector (stored twice, at 16-19 and 20-23).
struct Subheader {
  std::uint8_t file = 0;
  std::uint8_t channel = 0;
  std::uint8_t submode = 0;
  std::uint8_t coding = 0;
  friend constexpr bool operator==(Subheader, Subheader) = default;
};

/// The 32-bit EDC (CRC, polynomial (x^16+x^15+x^2+1)(x^16+x^2+x+1), LSB first,
/// initial value 0). Sectors store it little-endian.
std::uint32_t edc(std::span<const std::uint8_t> bytes);

/// Writes sync and header (BCD address of lba + 150, mode byte) into raw[0..15].
void writeSyncHeader(std::int32_t lba, std::uint8_t mode, std::span<std::uint8_t, kRawSectorSize> raw);

/// Builds a Mode 1 sector: sync, header, user data, EDC over 0-2063, 8 zero
/// bytes, P and Q parity.
void encodeMode1(std::int32_t lba, std::span<const std::uint8_t, kUserDataSize> user,
                 std::span<std::uint8_t, kRawSectorSize> raw);

/// Copies the user data out of a Mode 1 sector. False (and `user` untouched)
/// when the sync, the mode byte or the EDC is wrong.
bool decodeMode1(std::span<const std::uint8_t, kRawSectorSize> raw, std::span<std::uint8_t, kUserDataSize> user);

/// Builds a Mode 2 XA Form 1 sector: sync, header, the subheader twice, user
/// data, EDC over 16-2071, then P and Q parity computed with the header taken
/// as zero. The Form 2 submode bit is cleared, so the subheader always agrees
/// with the layout.
void encodeMode2Form1(std::int32_t lba, Subheader subheader, std::span<const std::uint8_t, kUserDataSize> user,
                      std::span<std::uint8_t, kRawSectorSize> raw);

/// Whether a Form 2 sector carries its EDC. Form 2 may store zero instead
/// (readers then take the data unchecked); real-time streams sometimes do.
enum class Form2Edc : std::uint8_t { Computed, Zero };

/// Builds a Mode 2 XA Form 2 sector (EDC over 16-2347, stored at 2348, or
/// zero when asked). The Form 2 submode bit is set.
void encodeMode2Form2(std::int32_t lba, Subheader subheader, std::span<const std::uint8_t, kForm2DataSize> user,
                      std::span<std::uint8_t, kRawSectorSize> raw, Form2Edc edc = Form2Edc::Computed);

/// Builds a formless Mode 2 sector: sync, header and the 2336 bytes as given.
/// Also the way to put sync and header back on a Mode 2 body.
void encodeMode2Formless(std::int32_t lba, std::span<const std::uint8_t, kMode2BodySize> body,
                         std::span<std::uint8_t, kRawSectorSize> raw);

/// The 2336 bytes after the header of a Mode 2 sector (subheader, data, EDC,
/// parity): what a drive takes under cue sheet data form 20h.
std::span<const std::uint8_t, kMode2BodySize> mode2Body(std::span<const std::uint8_t, kRawSectorSize> raw);

/// What a sector turned out to be.
enum class SectorKind : std::uint8_t {
  Invalid,  ///< no sync pattern, or a mode byte other than 0, 1, 2
  Mode0,    ///< zero-filled sector (mode byte 0)
  Mode1,
  Mode2Formless,  ///< mode 2 whose subheader copies disagree: no XA form applies
  Mode2Form1,
  Mode2Form2,
};

/// The header and integrity facts of one raw sector.
struct SectorInfo {
  SectorKind kind = SectorKind::Invalid;
  bool syncValid = false;
  std::int32_t lba = 0;      ///< from the BCD header; 0 when the header is not valid BCD
  bool headerValid = false;  ///< the address digits are BCD and in range
  Subheader subheader;       ///< Mode 2 XA only
  /// Whether the stored EDC matches. Form 2 sectors may carry 0 in place of an
  /// EDC; that counts as valid. Mode 0 and formless Mode 2 have none: true.
  bool edcValid = false;
};

/// Reads sync, header, subheader and EDC of a raw sector.
SectorInfo inspect(std::span<const std::uint8_t, kRawSectorSize> raw);

/// Copies the user data out of a Mode 2 Form 1 sector. False when it is not a
/// Form 1 sector or its EDC is wrong.
bool decodeMode2Form1(std::span<const std::uint8_t, kRawSectorSize> raw, std::span<std::uint8_t, kUserDataSize> user,
                      Subheader* subheader = nullptr);

/// Copies the user data out of a Mode 2 Form 2 sector. False when it is not a
/// Form 2 sector or its (non-zero) EDC is wrong.
bool decodeMode2Form2(std::span<const std::uint8_t, kRawSectorSize> raw, std::span<std::uint8_t, kForm2DataSize> user,
                      Subheader* subheader = nullptr);

}  // namespace emberline::sector
