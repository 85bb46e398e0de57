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
#include <mutex>

#include "devices/device_records.h"
#include "devices/library_callback.h"
#include "devices/writer_state.h"
#include "emberline/cdvd_writer.h"
#include "engine/burner_records.h"
#include "log/log_item_type.h"

namespace ondrelle {

class TsbBurner : public TsbWriterState {
 public:
  /// `showError` shows a tray lock failure (a message box in the wizard,
  /// standard error in the CLI).
  explicit TsbBurner(std::function<void(const QString&)> showError = {});
  virtual ~TsbBurner();
  TsbBurner(const TsbBurner&) = delete;
  TsbBurner& operator=(const TsbBurner&) = delete;

  /// (Re)opens the device object for TransportType / DeviceAddress /
  /// DeviceName; throws TsbError on failure.
  void OpenDevice();
  /// Locks / unlocks the tray. Failures are shown, never raised; a release
  /// that failed (the drive is gone) is not tried again when the writer is
  /// destroyed, so it is shown once.
  void Lock();
  void Release();
  /// Stops the run: marks it cancelled, and has the library cut short the
  /// call running on the writer (the drive-ready wait, a preparation call,
  /// the burn). The image copy only watches Cancelled, and so do the closing
  /// and the eject of a written disc.
  void Cancel();
  /// From here on a cancel no longer cuts a library call short: the disc
  /// written is being closed and ejected, which must run to their end.
  void BeginFinishing();
  void EndFinishing();
  void DestroyWriter();
  void DestroyFileTree();

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
  void ShowLockFailure(const char* function);

  std::function<void(const QString&)> showError_;
  /// Guards the choice between cutting a call short and letting it finish.
  std::mutex cancelGate_;
  bool finishing_ = false;
  bool releaseFailed_ = false;  ///< the last Release since the last Lock failed
};

}  // namespace ondrelle
