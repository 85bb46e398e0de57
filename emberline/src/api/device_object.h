#pragma once
// A device object: one opened drive, the callback registered with it, and
// the cancel request another thread may raise while a call runs.

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "api/library_object.h"
#include "api/verify_plan.h"
#include "drive/drive.h"
#include "emberline/emberline.h"
#include "transport/scsi_transport.h"

namespace emberline {

class DeviceObject : public EmberlineObject {
 public:
  DeviceObject(std::unique_ptr<ScsiTransport> transport, EmberlineCallBackProc callback, void* context)
      : transport_(std::move(transport)),
        drive_(*transport_, [this] { return cancelRequested(); }),
        callback_(callback),
        context_(context) {}

  ScsiTransport& transport() { return *transport_; }
  Drive& drive() { return drive_; }

  /// Serialises the calls made on this object; Cancel does not take it.
  std::unique_lock<std::mutex> beginCall() {
    std::unique_lock lock(callMutex_);
    cancelRequested_.store(false);
    transport_->clearInterrupt();
    // Between calls the user may have changed the disc.
    drive_.forgetMedium();
    return lock;
  }
  void cancel() {
    cancelRequested_.store(true);
    transport_->interrupt();
  }
  bool cancelRequested() const { return cancelRequested_.load(); }

  /// How to read back the last recording that succeeded; unset when there is none.
  /// Used under the call lock only.
  std::optional<WriteRecipe> lastWrite;

  /// Calls the registered callback, if any.
  void notify(std::uint32_t number, void* param1, void* param2) const {
    if (callback_ != nullptr) callback_(number, context_, param1, param2);
  }

 private:
  std::unique_ptr<ScsiTransport> transport_;
  Drive drive_;
  EmberlineCallBackProc callback_;
  void* context_;
  std::mutex callMutex_;
  std::atomic<bool> cancelRequested_{false};
};

}  // namespace emberline
