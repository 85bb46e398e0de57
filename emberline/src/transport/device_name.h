#pragma once
// Drives are named to callers as "CdRom" N; on Linux that is the sr driver's node.

#include <string>
#include <string_view>

#include "core/result.h"

namespace emberline {

/// Maps "CdRom0".."CdRom255" to "/dev/sr0".."/dev/sr255".
/// Anything else (other prefixes, signs, leading zeros, out-of-range numbers)
/// is an InvalidArgument error.
Result<std::string> devicePathForName(std::string_view name);

}  // namespace emberline
