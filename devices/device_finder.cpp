#include "devices/device_finder.h"

#include "devices/library_callback.h"
#include "emberline/cdvd_writer.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

TsbDeviceFinderThread::TsbDeviceFinderThread(TsbDeviceList& devices, std::function<void()> onTerminate)
    : devices_(devices), transportType_(devices.TransportType), worker_([this] { Body(); }, std::move(onTerminate)) {}

void TsbDeviceFinderThread::Body() {
  if (transportType_ == TsbTransportType::ttSpti) {
    for (int n = 0; n < kScannedDeviceNames; ++n) {
      const QByteArray name = QByteArrayLiteral("CdRom") + QByteArray::number(n);
      EmberlineHandle handle = nullptr;
      char text[EMBERLINE_TEXT_SIZE] = {};
      std::uint32_t status = 0;
      EmberlineFailureInfo failure{};
      if (Emberline_CdvdWriter_CreateEx(&handle, text, EMBERLINE_TEXT_SIZE, &status, &failure, nullptr, nullptr,
                                        name.constData(), 1) != 0)
        continue;
      Emberline_Destroy(&handle);
      EmberlineCallBack(kCallbackDeviceFound, &devices_, nullptr, const_cast<char*>(name.constData()));
    }
  } else if (transportType_ == TsbTransportType::ttAspi) {
    Logger().WriteLog(QStringLiteral("FindDevice"));
    Emberline_FindDevice(5, 0, &EmberlineCallBack, &devices_);
  }
}

TsbDeviceFinder::TsbDeviceFinder(TsbEventPump pump, TsbOperationProgressFactory progressFactory)
    : pump_(std::move(pump)), progressFactory_(std::move(progressFactory)) {}

TsbDeviceFinder::~TsbDeviceFinder() {
  WaitForThread();
}

void TsbDeviceFinder::Scan(bool showProgress) {
  std::unique_ptr<TsbOperationProgress> progress;
  if (showProgress && progressFactory_) progress = progressFactory_();
  // Every scan starts uncancelled, with or without a window: a silent
  // rescan must not inherit an earlier scan's cancel and come back empty.
  Devices.Cancelled = false;
  if (progress) {
    progress->SetCaption(LoadStr(15109));
    progress->ShowCancel(true);
    progress->SetInfo(InfoText);
    progress->Show();
    progress->SetCancelHandler([this] { CancelScan(); });
    if (pump_) pump_();
  }
  Devices.Clear();
  Devices.TransportType = TransportType;
  WaitForThread();

  running_.store(true);
  thread_ = std::make_unique<TsbDeviceFinderThread>(Devices, [this] { ThreadTerminated(); });
  thread_->Start();
  WaitForThread();
  if (progress) progress->Hide();
}

void TsbDeviceFinder::WaitForThread() {
  if (!thread_) return;
  while (!thread_->WaitFor(WaitStep(pump_))) {
    if (pump_) pump_();
  }
  thread_.reset();  // joins the finished thread
}

}  // namespace ondrelle
