#pragma once
// SEND CUE SHEET: the session-at-once layout of a CD, sent before the first WRITE.

#include "sector/cue_sheet.h"
#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Sends @p sheet as the drive expects it, 8 bytes per entry.
Status sendCueSheet(ScsiTransport& transport, const sector::CueSheet& sheet);

}  // namespace emberline::mmc
