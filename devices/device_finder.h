#pragma once
// The device scan: a worker thread opens every CD/DVD device, has each one
// probed, and fills the finder's list, while the UI thread waits in 80 ms
// slices and keeps its windows alive.

#include <QString>
#include <atomic>
#include <memory>

#include "devices/device_list.h"
#include "devices/operation_progress.h"
#include "platform/worker_thread.h"

namespace ondrelle {

/// The scan thread: opens and probes every device of the list's transport.
class TsbDeviceFinderThread {
 public:
  TsbDeviceFinderThread(TsbDeviceList& devices, std::function<void()> onTerminate);
  void Start() { worker_.Start(); }
  /// Waits at most `timeout` for the thread to end; true when it has.
  bool WaitFor(std::chrono::milliseconds timeout) { return worker_.WaitFor(timeout); }

 private:
  void Body();

  TsbDeviceList& devices_;
  TsbTransportType transportType_;
  platform::WorkerThread worker_;
};

class TsbDeviceFinder {
 public:
  explicit TsbDeviceFinder(TsbEventPump pump = {}, TsbOperationProgressFactory progressFactory = {});
  ~TsbDeviceFinder();
  TsbDeviceFinder(const TsbDeviceFinder&) = delete;
  TsbDeviceFinder& operator=(const TsbDeviceFinder&) = delete;

  /// Rebuilds Devices; returns when the scan thread has ended.
  void Scan(bool showProgress);
  /// Asks the running scan to stop probing (the progress window's Cancel).
  void CancelScan() { Devices.Cancelled = true; }
  void WaitForThread();
  bool Scanning() const { return running_.load(); }

  TsbDeviceList Devices;
  TsbTransportType TransportType = TsbTransportType::ttSpti;
  QString InfoText;

 private:
  void ThreadTerminated() { running_.store(false); }

  TsbEventPump pump_;
  TsbOperationProgressFactory progressFactory_;
  std::unique_ptr<TsbDeviceFinderThread> thread_;
  std::atomic<bool> running_{false};
};

/// The names tried when devices are opened by name: "CdRom0" to "CdRom20".
inline constexpr int kScannedDeviceNames = 21;

}  // namespace ondrelle
