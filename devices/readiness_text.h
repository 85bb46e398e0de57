#pragma once
// The user's words for a library call that failed because the drive was
// not ready or held no disc, read from the call's exception code and status.

#include <QString>
#include <cstdint>

namespace ondrelle {

/// What a failed call says of the drive: it holds no disc, it is not ready,
/// or neither (another failure, or success).
enum class TsbReadiness { Other, NoDisc, NotReady };
TsbReadiness ReadinessOf(std::uint8_t exceptionCode, std::uint32_t status);

/// "There is no disc in the drive" or "The drive is not ready: ..." for a
/// failure of those kinds; empty for any other failure (or success).
QString NotReadyCause(std::uint8_t exceptionCode, std::uint32_t status);

}  // namespace ondrelle
