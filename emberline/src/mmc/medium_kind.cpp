#include "mmc/medium_kind.h"

#include "mmc/configuration.h"
#include "mmc/unit_commands.h"

namespace emberline::mmc {

namespace {
constexpr std::uint8_t kMediumNotPresent = 0x3A;
constexpr std::uint8_t kIllegalRequest = 0x05;
constexpr std::uint8_t kInvalidOpcode = 0x20;
}  // namespace

DISC_TYPE discTypeForProfile(std::uint16_t profile) {
  switch (profile) {
    case 0x0000: return DISC_TYPE_NO_MEDIA;
    case 0x0008: return DISC_TYPE_CDROM;
    case 0x0009: return DISC_TYPE_CDR;
    case 0x000A: return DISC_TYPE_CDRW;
    case 0x0010: return DISC_TYPE_DVDROM;
    case 0x0011: return DISC_TYPE_DVDR;
    case 0x0012: return DISC_TYPE_DVDRAM;
    case 0x0013: return DISC_TYPE_DVDRWRO;
    case 0x0014: return DISC_TYPE_DVDRWSR;
    case 0x0015:
    case 0x0016: return DISC_TYPE_DVDR_DL;
    case 0x001A: return DISC_TYPE_DVDPLUSRW;
    case 0x001B: return DISC_TYPE_DVDPLUSR;
    case 0x0020: return DISC_TYPE_DDCDROM;
    case 0x0021: return DISC_TYPE_DDCDR;
    case 0x0022: return DISC_TYPE_DDCDRW;
    case 0x002B: return DISC_TYPE_DVDPLUSR_DL;
    // BD-ROM has no DISC_TYPE; calling it BD-R would promise a writable disc.
    case 0x0040: return DISC_TYPE_UNKNOWN;
    case 0x0041:
    case 0x0042: return DISC_TYPE_BDR;
    case 0x0043: return DISC_TYPE_BDRE;
    case 0x0050: return DISC_TYPE_HDDVDROM;
    case 0x0051: return DISC_TYPE_HDDVDR;
    case 0x0052:
    case 0x0053: return DISC_TYPE_HDDVDRW;
    default: return DISC_TYPE_UNKNOWN;
  }
}

Result<DISC_TYPE> detectDiscType(ScsiTransport& transport) {
  auto readiness = testUnitReady(transport);
  if (!readiness.ok()) return fail(std::move(readiness).error());
  if (!readiness->ready && readiness->sense.asc == kMediumNotPresent) return DISC_TYPE_NO_MEDIA;
  auto configuration = getConfiguration(transport, FeatureRequest::One, feature::kProfileList);
  if (!configuration.ok()) {
    const Error& e = configuration.error();
    if (e.senseKey == kIllegalRequest && e.asc == kInvalidOpcode) return DISC_TYPE_UNKNOWN;
    if (e.asc == kMediumNotPresent) return DISC_TYPE_NO_MEDIA;
    return fail(e);
  }
  return discTypeForProfile(configuration->currentProfile);
}

}  // namespace emberline::mmc
