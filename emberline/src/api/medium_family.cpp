#include "api/medium_family.h"

#include "mmc/configuration.h"

namespace emberline {

MediumFamily familyOfProfile(std::uint16_t profile) {
  switch (profile) {
    case 0x0000: return MediumFamily::None;
    case 0x0008:
    case 0x0009:
    case 0x000A:
    case 0x0020:
    case 0x0021:
    case 0x0022: return MediumFamily::Cd;
    case 0x0011:
    case 0x0014:
    case 0x0015:
    case 0x0016: return MediumFamily::DvdSequential;
    case 0x001B:
    case 0x002B: return MediumFamily::DvdPlusSequential;
    case 0x0012:
    case 0x0013:
    case 0x001A: return MediumFamily::RandomWritable;
    case 0x0010: return MediumFamily::ReadOnly;
    default: return MediumFamily::Other;
  }
}

Result<std::uint16_t> currentProfile(ScsiTransport& transport) {
  auto configuration = mmc::getConfiguration(transport, mmc::FeatureRequest::One, mmc::feature::kProfileList);
  if (!configuration.ok()) return fail(std::move(configuration).error());
  return configuration->currentProfile;
}

}  // namespace emberline
