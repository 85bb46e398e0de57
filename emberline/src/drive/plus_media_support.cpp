// Which DVD+ media a drive reads and writes, from its GET CONFIGURATION answer.

#include "drive/drive.h"
#include "mmc/configuration.h"

namespace emberline {

namespace {

constexpr std::uint16_t kDvdPlusRwFeature = 0x002A;
constexpr std::uint16_t kDvdPlusRFeature = 0x002B;
constexpr std::uint16_t kDvdPlusRDlFeature = 0x003B;

bool writeBit(const mmc::Configuration& configuration, std::uint16_t featureCode) {
  const auto* f = configuration.find(featureCode);
  return f != nullptr && !f->data.empty() && (f->data[0] & 0x01) != 0;
}

bool reads(const mmc::Configuration& configuration, std::uint16_t profileNumber, std::uint16_t featureCode) {
  return configuration.supportsProfile(profileNumber) || configuration.hasFeature(featureCode);
}

}  // namespace

Result<PlusMediaSupport> Drive::plusMediaSupport() {
  auto configuration = mmc::getConfiguration(transport_);
  if (!configuration.ok()) return fail(std::move(configuration).error());
  PlusMediaSupport s;
  s.dvdPlusRRead = reads(*configuration, profile::kDvdPlusR, kDvdPlusRFeature);
  s.dvdPlusRwRead = reads(*configuration, profile::kDvdPlusRw, kDvdPlusRwFeature);
  s.dvdPlusRDlRead = reads(*configuration, profile::kDvdPlusRDualLayer, kDvdPlusRDlFeature);
  s.dvdPlusRWrite = writeBit(*configuration, kDvdPlusRFeature);
  s.dvdPlusRwWrite = writeBit(*configuration, kDvdPlusRwFeature);
  s.dvdPlusRDlWrite = writeBit(*configuration, kDvdPlusRDlFeature);
  return s;
}

}  // namespace emberline
