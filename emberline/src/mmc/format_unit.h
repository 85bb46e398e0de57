#pragma once
// FORMAT UNIT for the overwritable DVD media the library records on.

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Formats a DVD+RW whole (format type 26h). With @p immediate the drive
/// returns at once and formats in the background; it takes writes meanwhile.
Status formatDvdPlusRw(ScsiTransport& transport, bool immediate);

}  // namespace emberline::mmc
