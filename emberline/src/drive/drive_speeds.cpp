// Speeds: SET STREAMING for DVD media, SET CD SPEED for CD, and what the
// drive reports it runs at.

#include <algorithm>

#include "drive/drive.h"
#include "mmc/capabilities_page.h"
#include "mmc/disc_information.h"
#include "mmc/read_commands.h"
#include "mmc/speed_commands.h"

namespace emberline {

namespace {

bool usesStreaming(MediumFamily family) {
  return family == MediumFamily::DvdSequential || family == MediumFamily::DvdPlusSequential ||
         family == MediumFamily::RandomWritable || family == MediumFamily::ReadOnly;
}

// SET STREAMING covers an LBA range; the whole medium is the range that matters.
std::uint32_t lastLbaOfMedium(ScsiTransport& transport) {
  auto invisible = mmc::readTrackInformation(transport, mmc::kInvisibleTrack);
  if (invisible.ok() && invisible->trackSize > 0)
    return static_cast<std::uint32_t>(invisible->startAddress) + invisible->trackSize - 1;
  auto capacity = mmc::readCapacity(transport);
  return capacity.ok() ? capacity->lastLba : 0;
}

}  // namespace

Status Drive::setSpeeds(std::uint32_t readKBps, std::uint32_t writeKBps) {
  if (usesStreaming(family())) {
    mmc::StreamingRequest request;
    request.endLba = lastLbaOfMedium(transport_);
    request.readKBps = readKBps;
    request.writeKBps = writeKBps;
    return mmc::setStreaming(transport_, request);
  }
  // SET CD SPEED has 16-bit fields, and FFFFh already means "as fast as possible".
  const auto clamp = [](std::uint32_t kbps) {
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(kbps, 0xFFFF));
  };
  return mmc::setCdSpeed(transport_, clamp(readKBps), clamp(writeKBps));
}

Result<DriveSpeeds> Drive::speeds() {
  auto c = mmc::readCapabilities(transport_);
  if (!c.ok()) return fail(std::move(c).error());
  DriveSpeeds s{c->currentReadSpeedKBps, c->maximumReadSpeedKBps, c->currentWriteSpeedKBps, c->maximumWriteSpeedKBps};
  // Newer drives leave the old page fields at zero and answer GET PERFORMANCE instead.
  if (s.maximumWrite == 0) {
    auto entries = mmc::getWriteSpeeds(transport_);
    if (entries.ok())
      for (const auto& e : *entries) s.maximumWrite = std::max(s.maximumWrite, e.writeKBps);
  }
  return s;
}

}  // namespace emberline
