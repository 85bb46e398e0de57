// Speeds, buffer underrun protection and power calibration.

#include <algorithm>

#include "api/device_call.h"
#include "api/export.h"
#include "api/medium_family.h"
#include "emberline/cdvd_writer.h"
#include "mmc/capabilities_page.h"
#include "mmc/disc_information.h"
#include "mmc/read_commands.h"
#include "mmc/recording_commands.h"
#include "mmc/speed_commands.h"
#include "mmc/write_parameters_page.h"

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

Status setSpeeds(ScsiTransport& transport, std::uint32_t readKBps, std::uint32_t writeKBps) {
  auto profile = currentProfile(transport);
  const MediumFamily family = profile.ok() ? familyOfProfile(*profile) : MediumFamily::None;
  if (usesStreaming(family)) {
    mmc::StreamingRequest request;
    request.endLba = lastLbaOfMedium(transport);
    request.readKBps = readKBps;
    request.writeKBps = writeKBps;
    return mmc::setStreaming(transport, request);
  }
  // SET CD SPEED has 16-bit fields, and FFFFh already means "as fast as possible".
  const auto clamp = [](std::uint32_t kbps) { return static_cast<std::uint16_t>(std::min<std::uint32_t>(kbps, 0xFFFF)); };
  return mmc::setCdSpeed(transport, clamp(readKBps), clamp(writeKBps));
}

struct Speeds {
  std::uint32_t currentRead = 0;
  std::uint32_t maximumRead = 0;
  std::uint32_t currentWrite = 0;
  std::uint32_t maximumWrite = 0;
};

Result<Speeds> readSpeeds(ScsiTransport& transport) {
  auto c = mmc::readCapabilities(transport);
  if (!c.ok()) return fail(std::move(c).error());
  Speeds s{c->currentReadSpeedKBps, c->maximumReadSpeedKBps, c->currentWriteSpeedKBps, c->maximumWriteSpeedKBps};
  // Newer drives leave the old page fields at zero and answer GET PERFORMANCE instead.
  if (s.maximumWrite == 0) {
    auto entries = mmc::getWriteSpeeds(transport);
    if (entries.ok())
      for (const auto& e : *entries) s.maximumWrite = std::max(s.maximumWrite, e.writeKBps);
  }
  return s;
}

struct BufferProtection {
  bool enabled = false;
  bool supported = false;
  bool switchable = false;  ///< the medium has a write parameters page to switch it in
};

Result<BufferProtection> readBufferProtection(ScsiTransport& transport) {
  auto c = mmc::readCapabilities(transport);
  if (!c.ok()) return fail(std::move(c).error());
  BufferProtection b;
  b.supported = c->bufferUnderrunProtection;
  auto page = mmc::readWriteParameters(transport);
  if (page.ok()) {
    b.switchable = true;
    b.enabled = page->bufferUnderrunFree;
  } else if (page.error().kind == ErrorKind::NotSupported ||
             page.error().kind == ErrorKind::CheckCondition) {
    // Without page 05h (DVD+ media) a drive that has the protection always uses it.
    b.enabled = b.supported;
  } else {
    return fail(std::move(page).error());
  }
  return b;
}

Status setBufferProtection(ScsiTransport& transport, bool enable) {
  auto state = readBufferProtection(transport);
  if (!state.ok()) return fail(std::move(state).error());
  if (enable && !state->supported)
    return fail(ErrorKind::NotSupported, "the drive has no buffer underrun protection");
  if (!state->switchable) {
    if (state->enabled == enable) return {};
    return fail(ErrorKind::NotSupported, "buffer underrun protection cannot be switched for this medium");
  }
  auto page = mmc::readWriteParameters(transport);
  if (!page.ok()) return fail(std::move(page).error());
  page->bufferUnderrunFree = enable;
  return mmc::writeWriteParameters(transport, *page);
}

void put(std::uint32_t* out, std::uint32_t value) {
  if (out != nullptr) *out = value;
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SetSpeeds(EmberlineHandle handle, char* text, int32_t size,
                                                        uint32_t* status, EmberlineFailureInfo* failure,
                                                        uint32_t readSpeed, uint32_t writeSpeed) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [&](DeviceObject& device) { return setSpeeds(device.transport(), readSpeed, writeSpeed); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetSpeeds(EmberlineHandle handle, char* text, int32_t size,
                                                        uint32_t* status, EmberlineFailureInfo* failure,
                                                        uint32_t* currentRead, uint32_t* maximumRead,
                                                        uint32_t* currentWrite, uint32_t* maximumWrite) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto speeds = readSpeeds(device.transport());
    if (!speeds.ok()) return fail(std::move(speeds).error());
    put(currentRead, speeds->currentRead);
    put(maximumRead, speeds->maximumRead);
    put(currentWrite, speeds->currentWrite);
    put(maximumWrite, speeds->maximumWrite);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetBUP(EmberlineHandle handle, char* text, int32_t size,
                                                     uint32_t* status, EmberlineFailureInfo* failure,
                                                     uint8_t* enabled, uint8_t* supported) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto state = readBufferProtection(device.transport());
    if (!state.ok()) return fail(std::move(state).error());
    if (enabled != nullptr) *enabled = state->enabled ? 1 : 0;
    if (supported != nullptr) *supported = state->supported ? 1 : 0;
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SetBUP(EmberlineHandle handle, char* text, int32_t size,
                                                     uint32_t* status, EmberlineFailureInfo* failure,
                                                     uint8_t enable) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [&](DeviceObject& device) { return setBufferProtection(device.transport(), enable != 0); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SendOPC(EmberlineHandle handle, char* text, int32_t size,
                                                      uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return mmc::sendOpcInformation(device.transport()); });
}

}  // extern "C"
