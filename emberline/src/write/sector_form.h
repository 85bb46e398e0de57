#pragma once
/// @file
/// How the blocks of a CD track are laid out, and what the drive is told for
/// each layout: the data block type of page 05h, the track mode and data form
/// of a cue sheet, and the session format a session of such tracks needs.

#include <cstddef>
#include <cstdint>

#include "sector/cue_sheet.h"

namespace emberline::write {

/// The sector layout of a track. DVD blocks are always Mode 1's 2048 bytes of user data.
enum class SectorForm : std::uint8_t {
  Mode1,       ///< 2048 bytes of user data; the drive adds EDC/ECC
  Mode2Form1,  ///< CD-ROM XA Form 1: 2048 bytes of user data, the subheader from page 05h
  Mode2Form2,  ///< CD-ROM XA Form 2: 2324 bytes of user data, the subheader from page 05h
  Mode2Mixed,  ///< CD-ROM XA, each block its own 8-byte subheader then Form 1 or Form 2 data
  /// CD-ROM XA, whole 2352-byte sectors computed by the host (sync, header,
  /// subheader, EDC and ECC); a cue sheet's data form 21h. Session at once only.
  Mode2Raw,
};

/// The session format byte of page 05h, recorded in the lead-in's TOC.
enum class SessionFormat : std::uint8_t {
  CdDaOrCdRom = 0x00,
  CdI = 0x10,
  CdRomXa = 0x20,
};

/// CD-ROM XA: the session that holds such a track must be an XA session.
bool isXa(SectorForm form);

/// Page 05h data block type for track-at-once and incremental recording:
/// 8 (Mode 1), 10 (Form 1 and whole XA sectors), 12 (Form 2), 13 (mixed, with subheaders).
std::uint8_t dataBlockType(SectorForm form);

/// Bytes the host sends per block under dataBlockType(): 2048, 2048, 2324, 2332.
std::size_t pageBlockSize(SectorForm form);

/// The cue sheet's view of the track: Mode 1 (data form 10h, 2048 bytes from
/// the host) or CD-ROM XA (data form 20h, 2336 bytes: subheader and the rest
/// of the Mode 2 body).
sector::TrackMode cueTrackMode(SectorForm form);

/// Bytes the host sends per block when a cue sheet describes the track.
std::size_t cueBlockSize(SectorForm form);

/// The session format a session of tracks in @p form needs.
SessionFormat sessionFormatFor(SectorForm form);

/// The track mode nibble of page 05h: 4 for a CD data track recorded
/// uninterrupted, 5 for DVD (incremental recording allowed).
inline constexpr std::uint8_t kCdDataTrackMode = 4;
inline constexpr std::uint8_t kDvdDataTrackMode = 5;

}  // namespace emberline::write
