// Speeds, buffer underrun protection and power calibration.

#include "api/device_call.h"
#include "api/export.h"
#include "emberline/cdvd_writer.h"
#include "mmc/recording_commands.h"

namespace emberline {

namespace {

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
                       [&](DeviceObject& device) { return device.drive().setSpeeds(readSpeed, writeSpeed); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetSpeeds(EmberlineHandle handle, char* text, int32_t size,
                                                        uint32_t* status, EmberlineFailureInfo* failure,
                                                        uint32_t* currentRead, uint32_t* maximumRead,
                                                        uint32_t* currentWrite, uint32_t* maximumWrite) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto speeds = device.drive().speeds();
    if (!speeds.ok()) return fail(std::move(speeds).error());
    put(currentRead, speeds->currentRead);
    put(maximumRead, speeds->maximumRead);
    put(currentWrite, speeds->currentWrite);
    put(maximumWrite, speeds->maximumWrite);
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetBUP(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, uint8_t* enabled,
                                                     uint8_t* supported) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [&](DeviceObject& device) -> Status {
    auto state = device.drive().bufferProtection();
    if (!state.ok()) return fail(std::move(state).error());
    if (enabled != nullptr) *enabled = state->enabled ? 1 : 0;
    if (supported != nullptr) *supported = state->supported ? 1 : 0;
    return {};
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SetBUP(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, uint8_t enable) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [&](DeviceObject& device) { return device.drive().setBufferProtection(enable != 0); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_SendOPC(EmberlineHandle handle, char* text, int32_t size,
                                                      uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return mmc::sendOpcInformation(device.transport()); });
}

}  // extern "C"
