#pragma once
/// @file
/// Checks and small derivations every strategy makes on a plan before it
/// writes anything.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "core/result.h"
#include "mmc/write_parameters_page.h"
#include "sector/cue_sheet.h"
#include "write/disc_plan.h"

namespace emberline::write {

/// DVD ECC blocks: writes and tracks on DVD keep to multiples of 16 sectors.
inline constexpr std::uint32_t kDvdEccBlock = 16;

inline std::uint32_t roundUpBlocks(std::uint32_t blocks, std::uint32_t unit) {
  return (blocks + unit - 1) / unit * unit;
}

/// Each track's source holds blocks of the size @p sizeOf gives for its sector form.
Status checkBlockSizes(const DiscPlan& plan, std::size_t (*sizeOf)(SectorForm));

/// A track laid out for a fixed address (a built tree) must start there.
Status checkBuiltFor(const PlannedTrack& track, std::size_t index, std::int32_t start);

/// The cue sheet of the plan's CD tracks (@p tracks, one per planned track),
/// with every track built for a fixed address checked against where the
/// sheet starts it.
Result<sector::DataDiscCue> placeCdTracks(const DiscPlan& plan, std::span<const sector::DataTrack> tracks);

/// CD-ROM XA tracks need a CD-ROM XA session.
Status checkSessionFormat(const DiscPlan& plan);

/// Refuses CD-ROM XA tracks for a way of recording (@p recording, for the
/// message) that writes Mode 1 only.
Status checkMode1Only(const DiscPlan& plan, std::string_view recording);

/// Page 05h's multi-session field for the plan's choice.
mmc::MultiSession multiSessionField(const DiscPlan& plan);

}  // namespace emberline::write
