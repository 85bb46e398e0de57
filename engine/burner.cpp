#include "engine/burner.h"

#include <cstdio>

#include "devices/library_callback.h"
#include "engine/library_call_failure.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {
// The shown failures end in the two characters "\n" (as the wizard's boxes
// show them); on a terminal that is the line break it stands for.
void PrintError(const QString& message) {
  QString text = message;
  if (text.endsWith(QStringLiteral("\\n"))) text.chop(2);
  std::fprintf(stderr, "%s\n", qPrintable(text));
}
}  // namespace

TsbBurner::TsbBurner(std::function<void(const QString&)> showError)
    : showError_(showError ? std::move(showError) : PrintError) {}

TsbBurner::~TsbBurner() {
  SourceFiles.clear();
  DestroyFileTree();
  DestroyWriter();
}

void TsbBurner::OpenDevice() {
  DestroyWriter();
  Logger().WriteLog(QStringLiteral("CdvdWriter_Create (before create)"));
  if (TransportType == TsbTransportType::ttAspi) {
    ExceptionCode = Emberline_CdvdWriter_Create(&Writer, ExceptionText.data(), EMBERLINE_TEXT_SIZE, &SystemStatus,
                                                &FailureInfo, &EmberlineCallBack, &Progress, DeviceAddress.PortID,
                                                DeviceAddress.BusID, DeviceAddress.TargetID, DeviceAddress.LUN, 0);
  } else {
    const QByteArray name = DeviceName.toLocal8Bit();
    ExceptionCode = Emberline_CdvdWriter_CreateEx(&Writer, ExceptionText.data(), EMBERLINE_TEXT_SIZE, &SystemStatus,
                                                  &FailureInfo, &EmberlineCallBack, &Progress, name.constData(), 0);
  }
  if (ExceptionCode != 0) {
    Writer = nullptr;
    RaiseLibraryFailure(*this, "CdvdWriter_Create");
  }
  Logger().WriteLog(QStringLiteral("CdvdWriter_Create (after create): PortID:%1,BusID:%2,TargetID:%3,LUN:%4")
                        .arg(DeviceAddress.PortID)
                        .arg(DeviceAddress.BusID)
                        .arg(DeviceAddress.TargetID)
                        .arg(DeviceAddress.LUN));
}

void TsbBurner::ShowLockFailure(const char* function) {
  showError_(RecordLibraryFailure(*this, function, TsbFailureEnding::BackslashN));
}

void TsbBurner::Lock() {
  ExceptionCode = 0;
  releaseFailed_ = false;
  if (Writer == nullptr) return;
  Logger().WriteLog(QStringLiteral("CdvdWriter_Lock"));
  ExceptionCode =
      Emberline_CdvdWriter_Lock(Writer, ExceptionText.data(), EMBERLINE_TEXT_SIZE, &SystemStatus, &FailureInfo);
  if (ExceptionCode != 0) ShowLockFailure("CdvdWriter_Lock");
}

void TsbBurner::Release() {
  ExceptionCode = 0;
  if (Writer == nullptr) return;
  Logger().WriteLog(QStringLiteral("CdvdWriter_Release"));
  ExceptionCode =
      Emberline_CdvdWriter_Release(Writer, ExceptionText.data(), EMBERLINE_TEXT_SIZE, &SystemStatus, &FailureInfo);
  releaseFailed_ = ExceptionCode != 0;
  if (ExceptionCode != 0) ShowLockFailure("CdvdWriter_Release");
}

void TsbBurner::Cancel() {
  // Set first: the library cuts short only the call running now, so the
  // steps between calls must already see the request when that call returns.
  Cancelled = true;
  const std::lock_guard gate(cancelGate_);
  if (BurnMode != bmImageToFile && !finishing_) {
    Logger().WriteLog(QStringLiteral("CdvdWriter_Cancel"));
    Emberline_CdvdWriter_Cancel(Writer);
  }
}

void TsbBurner::BeginFinishing() {
  // A cancel already sent ends with the call it cut; the library forgets it
  // when the next call begins.
  const std::lock_guard gate(cancelGate_);
  finishing_ = true;
}

void TsbBurner::EndFinishing() {
  const std::lock_guard gate(cancelGate_);
  finishing_ = false;
}

void TsbBurner::DestroyFileTree() {
  if (FileTree == nullptr) return;
  Logger().WriteLog(QStringLiteral("Destroy: FileTree"));
  Emberline_Destroy(&FileTree);
  FileTree = nullptr;
}

void TsbBurner::DestroyWriter() {
  if (Writer == nullptr) return;
  if (!releaseFailed_) Release();
  Logger().WriteLog(QStringLiteral("Destroy: Writer"));
  Emberline_Destroy(&Writer);
  Writer = nullptr;
  releaseFailed_ = false;
}

}  // namespace ondrelle
