#pragma once
/// @file
/// What is to be recorded, independent of how: the tracks with their
/// sources and the choices the caller made.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "write/block_source.h"
#include "write/sector_form.h"

namespace emberline::write {

/// How the caller asked for the disc to be recorded.
enum class RecordingMode : std::uint8_t {
  TrackAtOnce,    ///< CD TAO; DVD incremental / DVD+R sequential
  SessionAtOnce,  ///< CD SAO with a cue sheet; DVD-R disc at once
  RawPq,          ///< CD raw disc at once, 2352 + 16 bytes of P-Q
  RawPw,          ///< CD raw disc at once, 2352 + 96 bytes of raw P-W
};

struct PlannedTrack {
  std::unique_ptr<BlockSource> source;
  /// How the track's blocks are laid out on a CD; the strategies derive the
  /// track mode, data block type and cue sheet data form from it.
  SectorForm form = SectorForm::Mode1;
  /// The address the data was laid out for (a built tree), when it matters.
  std::optional<std::int32_t> requiredStart;
  /// Session at once: blocks of index 0 before the track; unset, the usual
  /// 150 on the first track and where the mode changes.
  std::optional<std::int32_t> pregap;
  /// The source's first blocks are that pregap (raw sectors the host made);
  /// otherwise the strategy fills the pregap itself.
  bool sourceHoldsPregap = false;
  /// Blocks of the source where a two-layer recording may go on in layer 1
  /// (the cell starts of a DVD-Video image), ascending; empty when any block will do.
  std::vector<std::uint32_t> layerBreakCandidates;
};

struct DiscPlan {
  RecordingMode mode = RecordingMode::TrackAtOnce;
  std::vector<PlannedTrack> tracks;
  /// Recorded in page 05h and the lead-in; CD-ROM XA tracks need CdRomXa.
  SessionFormat sessionFormat = SessionFormat::CdDaOrCdRom;
  bool testMode = false;
  bool multiSession = false;  ///< leave the disc open for another session
  bool closeTrack = true;
  bool closeSession = true;
  bool useBufferUnderrunProtection = true;
  std::uint32_t readyMinutes = 5;

  std::uint64_t totalBytes() const {
    std::uint64_t total = 0;
    for (const PlannedTrack& t : tracks) total += std::uint64_t{t.source->blockCount()} * t.source->blockSize();
    return total;
  }
};

}  // namespace emberline::write
