#pragma once
// Which recording modes the drive accepts for the inserted medium, found by
// offering each one in the write parameters page and putting the page back.

#include <cstdint>

#include "mmc/write_parameters_page.h"

namespace emberline {

/// The recording modes offered to the drive, one page 05h variant each.
enum class ProbedMode : std::uint8_t { TrackAtOnce, SessionAtOnce, RawPq, RawPw, Incremental };

/// @p original with only what selects @p mode changed; a simulated write is never left set.
mmc::WriteParameters parametersForMode(const mmc::WriteParameters& original, ProbedMode mode);

}  // namespace emberline
