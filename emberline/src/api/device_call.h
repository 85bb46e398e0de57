#pragma once
// The frame every device call runs in: resolve the handle, serialise with
// other calls on the same object, and report the outcome in the flat form.

#include <cstdint>
#include <memory>
#include <utility>

#include "api/call_result.h"
#include "api/device_object.h"
#include "api/library_state.h"
#include "core/result.h"

namespace emberline {

/// The device object of @p handle, or null for a null, stale or foreign handle.
inline std::shared_ptr<DeviceObject> findDevice(EmberlineHandle handle) {
  return LibraryState::instance().objects().findAs<DeviceObject>(handle);
}

inline Error invalidHandleError() {
  return Error::make(ErrorKind::InvalidArgument, "the handle is not an open device object");
}

/// What a call's failure turns into once a cancel was requested: the drive
/// may report an aborted command or anything else, but the caller asked for it.
inline Error cancellationAware(const DeviceObject& device, Error error) {
  if (!device.cancelRequested() || error.kind == ErrorKind::InvalidArgument) return error;
  return Error::make(ErrorKind::Cancelled, "cancelled");
}

/// Runs @p body (Status(DeviceObject&)) on the device of @p handle and reports
/// its result through @p out.
template <class Body>
std::uint8_t runDeviceCall(EmberlineHandle handle, const ErrorOutputs& out, Body&& body) {
  const std::shared_ptr<DeviceObject> device = findDevice(handle);
  if (!device) return report(out, invalidHandleError());
  auto lock = device->beginCall();
  Status status = std::forward<Body>(body)(*device);
  if (!status.ok()) return report(out, cancellationAware(*device, std::move(status).error()));
  return reportSuccess(out);
}

/// A mmc::WaitOptions-compatible predicate that reports the object's cancel flag.
inline auto cancelPredicate(const DeviceObject& device) {
  return [&device] { return device.cancelRequested(); };
}

}  // namespace emberline
