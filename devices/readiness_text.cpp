#include "devices/readiness_text.h"

#include "emberline/emberline.h"

namespace ondrelle {

namespace {

// The status of a refused command is its sense: key, ASC and ASCQ in the
// low three bytes.
constexpr std::uint8_t kSenseNotReady = 0x02;
constexpr std::uint8_t kAscNoMedium = 0x3A;

}  // namespace

TsbReadiness ReadinessOf(std::uint8_t code, std::uint32_t status) {
  const auto key = static_cast<std::uint8_t>(status >> 16);
  const auto asc = static_cast<std::uint8_t>(status >> 8);
  const bool senseGiven = code == EMBERLINE_E_CHECK_CONDITION || code == EMBERLINE_E_NOT_READY;
  if (senseGiven && key == kSenseNotReady && asc == kAscNoMedium) return TsbReadiness::NoDisc;
  if (code == EMBERLINE_E_NOT_READY || (senseGiven && key == kSenseNotReady)) return TsbReadiness::NotReady;
  return TsbReadiness::Other;
}

QString NotReadyCause(std::uint8_t code, std::uint32_t status) {
  switch (ReadinessOf(code, status)) {
    case TsbReadiness::NoDisc:
      return QStringLiteral("There is no disc in the drive");
    case TsbReadiness::NotReady:
      return QStringLiteral(
          "The drive is not ready: it cannot read or write the disc now. Check the disc, wait until the drive has "
          "settled and try again");
    case TsbReadiness::Other:
      break;
  }
  return {};
}

}  // namespace ondrelle
