#pragma once
// The burner session: the chosen writer, the burn settings, the library's
// device object and the state of the burn in progress. One per program run.

#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "devices/device_records.h"
#include "devices/library_callback.h"
#include "devices/operation_progress.h"
#include "devices/writer_state.h"
#include "emberline/cdvd_writer.h"
#include "engine/burner_records.h"
#include "engine/custom_thread.h"
#include "log/log_item_type.h"

namespace ondrelle {

class TsbBurner : public TsbWriterState {
 public:
  /// `pump` keeps the UI alive while waiting for a worker; `showError` shows
  /// a tray lock failure (a message box in the wizard, standard error in the CLI).
  explicit TsbBurner(TsbEventPump pump = {}, std::function<void(const QString&)> showError = {});
  virtual ~TsbBurner();
  TsbBurner(const TsbBurner&) = delete;
  TsbBurner& operator=(const TsbBurner&) = delete;

  /// (Re)opens the device object for TransportType / DeviceAddress /
  /// DeviceName; throws TsbError on failure.
  void OpenDevice();
  /// Locks / unlocks the tray. Failures are shown, never raised.
  void Lock();
  void Release();
  /// Stops the run: marks it cancelled, and has the library cut short the
  /// call running on the writer (the drive-ready wait, a preparation call,
  /// the burn). The image copy only watches Cancelled.
  void Cancel();
  void DestroyWriter();
  void DestroyFileTree();

  virtual void WaitForBurnThread();
  /// The burn thread's termination handler; runs on the worker thread.
  virtual void BurnThreadDone();
  /// The burn thread's message handler; runs on the worker thread.
  virtual void RelayThreadMessage(const void* sender, const QString& message, TsbLogItemType kind);
  virtual void WaitForAuxThread();
  virtual void AuxThreadDone();

  /// Starts `thread` as the burn thread: its end and its messages come
  /// back through BurnThreadDone and RelayThreadMessage.
  void StartBurnThread(std::unique_ptr<TsbCustomThread> thread);
  /// Starts the data burn thread for BurnMode and waits for it. Afterwards
  /// LastMessage is empty on success and holds the error otherwise.
  void RunBurnThread();
  /// Runs one long library call (closing the session, ejecting) on a
  /// worker and waits for it as for the burn thread, so a waiting UI keeps
  /// serving its windows. Without a pump the call runs on the caller's thread.
  void RunLongCall(std::function<void()> call);
  bool BurnThreadRunning() const { return burnThreadRunning_.load(); }
  /// What keeps the UI alive while an action waits for a worker of its own.
  const TsbEventPump& EventPump() const { return pump_; }

  TsbDeviceAddress DeviceAddress{};
  bool BootImageEnabled = false;
  QString BootImageFile;
  TsbTransportType TransportType = TsbTransportType::ttAspi;
  std::uint8_t BurnMode = bmTAOFromTree;
  bool TestMode = false;
  bool MultiSession = false;
  bool SendOPC = false;
  /// Read the disc back after the write and compare it with its sources.
  bool VerifyAfterBurn = false;
  std::int32_t SpeedInPoint = 0;
  std::int32_t SpeedInSize = 0;
  TsbDiscSpace DiscSpace;
  QString ImageVolumeLabel = QStringLiteral("NEW");
  TsbWriteModes WriteModes;
  TsbMessageEvent OnMessage;
  QStringList SourceFiles;
  QString DeviceName;
  std::unique_ptr<TsbCustomThread> BurnThread;
  std::unique_ptr<TsbCustomThread> AuxThread;
  std::atomic<bool> Cancelled{false};
  std::atomic<bool> BurnSucceeded{false};
  /// Set when the disc just written did not read back as it was meant to.
  std::atomic<bool> VerifyFailed{false};
  EmberlineHandle FileTree = nullptr;
  TsbImageCopy ImageCopy;
  /// The progress the writer's callbacks have passed on; their context.
  TsbProgressState Progress;
  std::unique_ptr<TsbTrackList> TrackList = std::make_unique<TsbTrackList>();

 private:
  void WaitFor(std::unique_ptr<TsbCustomThread>& thread, std::atomic<bool>& running);
  void ShowLockFailure(const char* function);

  TsbEventPump pump_;
  std::function<void(const QString&)> showError_;
  std::atomic<bool> burnThreadRunning_{false};
  std::atomic<bool> auxThreadRunning_{false};
};

}  // namespace ondrelle
