#pragma once
// SEND CUE SHEET: the session-at-once layout of a CD, one 8-byte entry per
// track index, sent before the first WRITE.

#include <cstdint>
#include <span>
#include <vector>

#include "core/msf.h"
#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Data forms of a cue sheet entry (main channel, low six bits).
namespace data_form {
inline constexpr std::uint8_t kAudio = 0x00;
inline constexpr std::uint8_t kAudioGenerated = 0x01;
inline constexpr std::uint8_t kMode1Host = 0x10;       ///< 2048 bytes from the host
inline constexpr std::uint8_t kMode1Generated = 0x14;
inline constexpr std::uint8_t kMode2XaHost = 0x20;     ///< 2336 bytes: subheader and user data
inline constexpr std::uint8_t kMode2XaRaw = 0x21;
inline constexpr std::uint8_t kMode2XaGenerated = 0x24;
inline constexpr std::uint8_t kMode2Host = 0x30;
inline constexpr std::uint8_t kMode2Generated = 0x34;
inline constexpr std::uint8_t kCdTextInLeadIn = 0x40;  ///< flag added to the lead-in entry's form
}  // namespace data_form

inline constexpr std::uint8_t kCueLeadIn = 0x00;
inline constexpr std::uint8_t kCueLeadOut = 0xAA;

struct CueSheetEntry {
  std::uint8_t control = 0;      ///< 4h data track, 0h audio
  std::uint8_t adr = 1;          ///< 1 position, 2 MCN, 3 ISRC
  std::uint8_t track = 0;        ///< 0 lead-in, AAh lead-out
  std::uint8_t index = 0;
  std::uint8_t dataForm = 0;
  std::uint8_t scms = 0;         ///< serial copy management byte
  Msf address;                   ///< absolute time, LBA + 150

  static CueSheetEntry at(std::uint8_t control, std::uint8_t track, std::uint8_t index, std::uint8_t dataForm,
                          std::int32_t lba);
};

/// The sheet as the drive expects it: 8 bytes per entry.
std::vector<std::uint8_t> encodeCueSheet(std::span<const CueSheetEntry> entries);

Status sendCueSheet(ScsiTransport& transport, std::span<const CueSheetEntry> entries);

}  // namespace emberline::mmc
