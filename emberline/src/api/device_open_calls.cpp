// Opening, listing, naming, destroying and cancelling device objects.

#include <memory>

#include "api/device_call.h"
#include "api/device_registry.h"
#include "api/export.h"
#include "emberline/cdvd_writer.h"
#include "virtual/virtual_transport.h"

namespace emberline {

namespace {

OpenMode openModeFor(std::uint32_t probe) {
  return probe != 0 ? OpenMode::Shared : OpenMode::Exclusive;
}

template <class Open>
std::uint8_t createDevice(EmberlineHandle* handle, const ErrorOutputs& out, EmberlineCallBackProc callback,
                          void* context, Open&& open) {
  if (handle == nullptr) return report(out, Error::make(ErrorKind::InvalidArgument, "no place for the device handle"));
  *handle = nullptr;
  auto& library = LibraryState::instance();
  if (!library.started()) return reportNotStarted(out);
  Result<std::unique_ptr<ScsiTransport>> transport = std::forward<Open>(open)();
  if (!transport.ok()) return report(out, transport.error());
  *handle = library.objects().add(std::make_shared<DeviceObject>(std::move(transport).value(), callback, context));
  return reportSuccess(out);
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Create(EmberlineHandle* handle, char* text, int32_t size,
                                                     uint32_t* status, EmberlineFailureInfo* failure,
                                                     EmberlineCallBackProc callback, void* context, uint8_t port,
                                                     uint8_t bus, uint8_t target, uint8_t lun, uint32_t probe) {
  return createDevice(handle, ErrorOutputs{text, size, status, failure}, callback, context, [&] {
    return openDeviceAt(ScsiAddress{port, bus, target, lun}, openModeFor(probe));
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_CreateEx(EmberlineHandle* handle, char* text, int32_t size,
                                                       uint32_t* status, EmberlineFailureInfo* failure,
                                                       EmberlineCallBackProc callback, void* context, const char* name,
                                                       uint32_t probe) {
  return createDevice(handle, ErrorOutputs{text, size, status, failure}, callback, context,
                      [&]() -> Result<std::unique_ptr<ScsiTransport>> {
                        if (name == nullptr) return fail(ErrorKind::InvalidArgument, "no device name given");
                        return openDeviceNamed(name, openModeFor(probe));
                      });
}

EMBERLINE_EXPORT uint8_t Emberline_Destroy(EmberlineHandle* handle) {
  if (handle == nullptr) return EMBERLINE_E_INVALID_ARGUMENT;
  // Like free(NULL): callers destroy handles whose creation failed.
  if (*handle == nullptr) return EMBERLINE_OK;
  if (!LibraryState::instance().objects().remove(*handle)) return EMBERLINE_E_INVALID_ARGUMENT;
  *handle = nullptr;
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_FindDevice(uint8_t peripheralType, uint32_t /*flags*/,
                                              EmberlineCallBackProc callback, void* context) {
  if (callback == nullptr) return EMBERLINE_E_INVALID_ARGUMENT;
  if (!LibraryState::instance().started()) return EMBERLINE_E_NOT_STARTED;
  for (const ScsiAddress& address : listDevices(peripheralType)) {
    TsbDeviceAddress found{1, address.host, address.channel, address.target, address.lun};
    callback(EMBERLINE_CALLBACK_DEVICE_FOUND, context, &found, nullptr);
  }
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_GetDeviceNameByDeviceAddress(uint8_t port, uint8_t bus, uint8_t target, uint8_t lun,
                                                                char* buffer) {
  if (buffer == nullptr) return EMBERLINE_E_INVALID_ARGUMENT;
  buffer[0] = '\0';
  if (!LibraryState::instance().started()) return EMBERLINE_E_NOT_STARTED;
  auto name = deviceNameOf(ScsiAddress{port, bus, target, lun});
  if (!name.ok()) return exceptionCodeOf(name.error());
  copyText(buffer, EMBERLINE_TEXT_SIZE, *name);
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_GetVirtualImage(EmberlineHandle handle, char* path, int32_t size) {
  if (path == nullptr || size <= 0) return EMBERLINE_E_INVALID_ARGUMENT;
  path[0] = '\0';
  const auto device = findDevice(handle);
  if (!device) return EMBERLINE_E_INVALID_ARGUMENT;
  auto* writer = dynamic_cast<virt::VirtualTransport*>(&device->transport());
  if (writer == nullptr) return EMBERLINE_OK;
  // What a reader opens: the data file of a DVD, the cue sheet of a CD (finished after its
  // .bin); a two-layer DVD's .layers note is not the image.
  const std::vector<std::string> finished = writer->drive().finishedImages();
  for (auto it = finished.rbegin(); it != finished.rend(); ++it) {
    if (it->ends_with(".layers")) continue;
    copyText(path, size, *it);
    break;
  }
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Cancel(EmberlineHandle handle) {
  const auto device = findDevice(handle);
  if (!device) return EMBERLINE_E_INVALID_ARGUMENT;
  device->cancel();
  return EMBERLINE_OK;
}

}  // extern "C"
