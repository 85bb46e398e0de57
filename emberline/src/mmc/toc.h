#pragma once
// READ TOC/PMA/ATIP in the formats the library uses: TOC, session
// information, full TOC and ATIP.

#include <array>
#include <cstdint>
#include <vector>

#include "core/msf.h"
#include "transport/scsi_transport.h"

namespace emberline::mmc {

enum class AddressForm : std::uint8_t { Lba, Msf };

inline constexpr std::uint8_t kLeadOutTrack = 0xAA;

struct TocEntry {
  std::uint8_t adr = 0;
  std::uint8_t control = 0;  ///< bit 2 set: data track
  std::uint8_t track = 0;    ///< AAh for the lead-out
  std::int32_t lba = 0;      ///< converted from MSF when MSF was asked for
  bool isData() const { return (control & 0x04) != 0; }
};

/// Format 0: one entry per track, lead-out last.
struct Toc {
  std::uint8_t firstTrack = 0;
  std::uint8_t lastTrack = 0;
  std::vector<TocEntry> entries;
  std::vector<std::uint8_t> response;  ///< the reply exactly as the drive sent it, for callers that pass it on
};

/// Format 1: where the last complete session starts.
struct SessionInfo {
  std::uint8_t firstSession = 0;
  std::uint8_t lastSession = 0;
  std::uint8_t firstTrackInLastSession = 0;
  std::int32_t lastSessionStartLba = 0;
};

/// One Q sub-channel entry of the lead-in (format 2).
struct FullTocEntry {
  std::uint8_t session = 0;
  std::uint8_t adr = 0;
  std::uint8_t control = 0;
  std::uint8_t tno = 0;
  std::uint8_t point = 0;  ///< 01h-63h a track, A0h first track, A1h last track, A2h lead-out, B0h next area, C0h
  Msf atime;
  Msf ptime;  ///< for A0h/A1h PMIN is a track number and PSEC the disc type
};

struct FullToc {
  std::uint8_t firstSession = 0;
  std::uint8_t lastSession = 0;
  std::vector<FullTocEntry> entries;
};

/// Format 4: the pre-groove information of recordable CDs.
struct Atip {
  std::uint8_t writingPower = 0;  ///< indicative target writing power
  bool ddcd = false;
  std::uint8_t referenceSpeed = 0;
  bool unrestrictedUse = false;
  bool rewritable = false;  ///< CD-RW rather than CD-R
  std::uint8_t discSubType = 0;
  bool a1Valid = false;
  bool a2Valid = false;
  bool a3Valid = false;
  Msf leadInStart;  ///< minute >= 90, so its LBA is negative
  Msf lastLeadOutStart;
  std::array<std::uint8_t, 3> a1{};
  std::array<std::uint8_t, 3> a2{};
  std::array<std::uint8_t, 3> a3{};
  std::array<std::uint8_t, 3> s4{};
};

Result<Toc> readToc(ScsiTransport& transport, AddressForm form = AddressForm::Lba, std::uint8_t startingTrack = 0);
Result<SessionInfo> readSessionInfo(ScsiTransport& transport, AddressForm form = AddressForm::Lba);
Result<FullToc> readFullToc(ScsiTransport& transport, std::uint8_t startingSession = 1);
Result<Atip> readAtip(ScsiTransport& transport);

Toc decodeToc(std::span<const std::uint8_t> response, AddressForm form);
FullToc decodeFullToc(std::span<const std::uint8_t> response);
Atip decodeAtip(std::span<const std::uint8_t> response);

}  // namespace emberline::mmc
