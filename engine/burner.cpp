#include "engine/burner.h"

#include <cstdio>

#include "devices/library_callback.h"
#include "engine/burn_thread.h"
#include "engine/library_call_failure.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {
void PrintError(const QString& message) {
  std::fprintf(stderr, "%s\n", qPrintable(message));
}
}  // namespace

TsbBurner::TsbBurner(TsbEventPump pump, std::function<void(const QString&)> showError)
    : pump_(std::move(pump)), showError_(showError ? std::move(showError) : PrintError) {}

TsbBurner::~TsbBurner() {
  SourceFiles.clear();
  WaitForBurnThread();
  WaitForAuxThread();
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
  if (ExceptionCode != 0) ShowLockFailure("CdvdWriter_Release");
}

void TsbBurner::Cancel() {
  // Set first: the library cuts short only the call running now, so the
  // steps between calls must already see the request when that call returns.
  Cancelled = true;
  if (BurnMode != bmImageToFile) {
    Logger().WriteLog(QStringLiteral("CdvdWriter_Cancel"));
    Emberline_CdvdWriter_Cancel(Writer);
  }
}

void TsbBurner::DestroyFileTree() {
  if (FileTree == nullptr) return;
  Logger().WriteLog(QStringLiteral("Destroy: FileTree"));
  Emberline_Destroy(&FileTree);
  FileTree = nullptr;
}

void TsbBurner::DestroyWriter() {
  if (Writer == nullptr) return;
  Release();
  Logger().WriteLog(QStringLiteral("Destroy: Writer"));
  Emberline_Destroy(&Writer);
  Writer = nullptr;
}

void TsbBurner::StartBurnThread(std::unique_ptr<TsbCustomThread> thread) {
  WaitForBurnThread();
  burnThreadRunning_ = true;
  thread->OnTerminate = [this](TsbCustomThread&) { BurnThreadDone(); };
  thread->OnMessage = [this](const void* sender, const QString& message, TsbLogItemType kind) {
    RelayThreadMessage(sender, message, kind);
  };
  BurnThread = std::move(thread);
  BurnThread->Start();
}

void TsbBurner::RunBurnThread() {
  StartBurnThread(std::make_unique<TsbBurnThread>(*this));
  WaitForBurnThread();
}

void TsbBurner::WaitFor(std::unique_ptr<TsbCustomThread>& thread, std::atomic<bool>& running) {
  if (!thread) return;
  while (running.load() && !thread->WaitFor(WaitStep(pump_))) {
    if (pump_) pump_();
  }
  thread.reset();  // joins the finished thread
}

void TsbBurner::RunLongCall(std::function<void()> call) {
  if (!pump_) {
    call();
    return;
  }
  WaitForAuxThread();
  auxThreadRunning_ = true;
  auto thread = std::make_unique<TsbFunctionThread>(*this, std::move(call));
  thread->OnTerminate = [this](TsbCustomThread&) { AuxThreadDone(); };
  AuxThread = std::move(thread);
  AuxThread->Start();
  WaitForAuxThread();
}

void TsbBurner::WaitForBurnThread() {
  WaitFor(BurnThread, burnThreadRunning_);
}
void TsbBurner::WaitForAuxThread() {
  WaitFor(AuxThread, auxThreadRunning_);
}
void TsbBurner::BurnThreadDone() {
  burnThreadRunning_ = false;
}
void TsbBurner::AuxThreadDone() {
  auxThreadRunning_ = false;
}

void TsbBurner::RelayThreadMessage(const void* /*sender*/, const QString& message, TsbLogItemType kind) {
  if (OnMessage) OnMessage(this, message, kind);
}

}  // namespace ondrelle
