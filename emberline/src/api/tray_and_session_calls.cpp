// The tray (lock, release, eject) and closing what a recording left open.

#include "api/device_call.h"
#include "api/export.h"
#include "emberline/cdvd_writer.h"
#include "mmc/unit_commands.h"

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Lock(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                   EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return mmc::preventMediumRemoval(device.transport(), true); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Release(EmberlineHandle handle, char* text, int32_t size,
                                                      uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return mmc::preventMediumRemoval(device.transport(), false); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Eject(EmberlineHandle handle, char* text, int32_t size, uint32_t* status,
                                                    EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [](DeviceObject& device) {
    return mmc::startStopUnit(device.transport(), mmc::StartStopAction::Eject);
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_CloseSession(EmberlineHandle handle, char* text, int32_t size,
                                                           uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return device.drive().closeSession(); });
}

}  // extern "C"
