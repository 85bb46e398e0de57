#pragma once
/// @file
/// The recording of a planned Video CD or Super Video CD: one CD-ROM XA
/// session at once of two tracks of whole sectors computed here, track 1 the
/// file system from LBA 0, track 2 the MPEG track from its pregap on.

#include <string>

#include "core/result.h"
#include "video/vcd_disc_layout.h"
#include "write/disc_plan.h"

namespace emberline::video {

/// Opens the sources of both tracks for @p layout, planned for the stream in
/// @p mpegPath; the caller sets test mode and the drive options.
Result<write::DiscPlan> vcdDiscPlan(const VcdDiscLayout& layout, const std::string& mpegPath);

}  // namespace emberline::video
