#pragma once
// Which recording modes the drive accepts for the inserted medium, found by
// offering each one in the write parameters page and putting the page back.

#include <cstdint>

#include "core/result.h"
#include "mmc/write_parameters_page.h"
#include "transport/scsi_transport.h"

namespace emberline {

struct WriteModeSupport {
  bool trackAtOnce = false;
  bool sessionAtOnce = false;
  bool rawWithPq = false;  ///< raw 2352 + 16 bytes of P-Q sub-channel (data block type 1)
  bool rawWithPw = false;  ///< raw 2352 + 96 bytes of raw P-W sub-channel (data block type 3)
};

/// The recording modes offered to the drive, one page 05h variant each.
enum class ProbedMode : std::uint8_t { TrackAtOnce, SessionAtOnce, RawPq, RawPw, Incremental };

/// @p original with only what selects @p mode changed; a simulated write is never left set.
mmc::WriteParameters parametersForMode(const mmc::WriteParameters& original, ProbedMode mode);

/// Offers each mode the medium family can take and restores the drive's page afterwards.
Result<WriteModeSupport> probeWriteModes(ScsiTransport& transport);

}  // namespace emberline
