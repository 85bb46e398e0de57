#include "api/plus_media_support.h"

namespace emberline {

namespace {

constexpr std::uint16_t kDvdPlusRwFeature = 0x002A;
constexpr std::uint16_t kDvdPlusRFeature = 0x002B;
constexpr std::uint16_t kDvdPlusRDlFeature = 0x003B;
constexpr std::uint16_t kDvdPlusRwProfile = 0x001A;
constexpr std::uint16_t kDvdPlusRProfile = 0x001B;
constexpr std::uint16_t kDvdPlusRDlProfile = 0x002B;

bool writeBit(const mmc::Configuration& configuration, std::uint16_t featureCode) {
  const auto* f = configuration.find(featureCode);
  return f != nullptr && !f->data.empty() && (f->data[0] & 0x01) != 0;
}

bool reads(const mmc::Configuration& configuration, std::uint16_t profile, std::uint16_t featureCode) {
  return configuration.supportsProfile(profile) || configuration.hasFeature(featureCode);
}

}  // namespace

PlusMediaSupport plusMediaSupport(const mmc::Configuration& configuration) {
  PlusMediaSupport s;
  s.dvdPlusRRead = reads(configuration, kDvdPlusRProfile, kDvdPlusRFeature);
  s.dvdPlusRwRead = reads(configuration, kDvdPlusRwProfile, kDvdPlusRwFeature);
  s.dvdPlusRDlRead = reads(configuration, kDvdPlusRDlProfile, kDvdPlusRDlFeature);
  s.dvdPlusRWrite = writeBit(configuration, kDvdPlusRFeature);
  s.dvdPlusRwWrite = writeBit(configuration, kDvdPlusRwFeature);
  s.dvdPlusRDlWrite = writeBit(configuration, kDvdPlusRDlFeature);
  return s;
}

}  // namespace emberline
