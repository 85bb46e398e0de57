#pragma once
// What kind of disc is in the drive, as the public DISC_TYPE reports it.

#include <cstdint>

#include "emberline/disc_type.h"
#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Maps a current profile to DISC_TYPE. Profile 0 (none) is no medium;
/// profiles without a DISC_TYPE of their own (BD-ROM, say) are unknown.
DISC_TYPE discTypeForProfile(std::uint16_t profile);

/// TEST UNIT READY, then GET CONFIGURATION's current profile. "Medium not
/// present" gives DISC_TYPE_NO_MEDIA; a drive without GET CONFIGURATION gives
/// DISC_TYPE_UNKNOWN. Other failures are returned.
Result<DISC_TYPE> detectDiscType(ScsiTransport& transport);

}  // namespace emberline::mmc
