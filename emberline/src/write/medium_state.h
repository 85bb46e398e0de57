#pragma once
/// @file
/// The facts about the inserted medium every strategy decides on.

#include <cstdint>

#include "core/result.h"
#include "drive/drive.h"
#include "mmc/disc_information.h"

namespace emberline::write {

struct MediumState {
  std::uint16_t profile = 0;
  MediumFamily family = MediumFamily::None;
  mmc::DiscInformation disc;
  std::uint16_t nextTrack = 1;    ///< number the next track gets
  std::int32_t nextWritable = 0;  ///< where the next track starts
  std::uint32_t freeBlocks = 0;

  bool cd() const { return family == MediumFamily::Cd; }
  bool dvd() const { return !cd(); }
  bool blank() const { return disc.discStatus == mmc::DiscStatus::Blank; }
  /// DVD+R's ECC blocks are 16 sectors: writes and tracks keep to them.
  bool plusSequential() const { return family == MediumFamily::DvdPlusSequential; }
};

/// Reads profile, disc and invisible-track information; refuses media that
/// cannot be written (pressed, closed, nothing writable left) with a text
/// saying which.
Result<MediumState> inspectMedium(Drive& drive);

}  // namespace emberline::write
