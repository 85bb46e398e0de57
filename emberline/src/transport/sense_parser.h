#pragma once
// Sense data arrives in either of the two SPC layouts depending on the drive
// and the kernel; both reduce to the same key / ASC / ASCQ triple.

#include <cstdint>
#include <span>

#include "transport/scsi_transport.h"

namespace emberline {

/// Decodes fixed-format (70h/71h) or descriptor-format (72h/73h) sense data.
/// Unknown response codes and truncated buffers yield an all-zero SenseData.
SenseData parseSense(std::span<const std::uint8_t> sense);

}  // namespace emberline
