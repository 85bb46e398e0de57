#include "pages/final_action_form.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QSaveFile>
#include <QVBoxLayout>

#include "devices/disc_type_text.h"
#include "devices/virtual_image.h"
#include "engine/action_list.h"
#include "engine/burner.h"
#include "frame/error_box.h"
#include "frame/pictures.h"
#include "frame/ui_thread.h"
#include "log/callback_eventer.h"
#include "log/operation_log.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

constexpr int kTopHeightDesigned = 70;
constexpr int kTopHeightShown = 36;
constexpr int kInformationWidth = 360;
constexpr int kTimeWidth = 60;
constexpr int kBorder = 5;

QString PercentText(int percent) {
  return QStringLiteral("%1 %").arg(percent);
}

/// What the progress band calls the step the burn job has entered. Writing
/// starts with the lead-in: the meter moves on to writing with the first bytes.
TsbBurnPhase PhaseOf(TsbBurnStep step) {
  switch (step) {
    case TsbBurnStep::Checking:
    case TsbBurnStep::Preparing:
      return TsbBurnPhase::bpPreparing;
    case TsbBurnStep::Writing:
      return TsbBurnPhase::bpWritingLeadIn;
    case TsbBurnStep::Verifying:
      return TsbBurnPhase::bpVerifying;
    case TsbBurnStep::Closing:
      return TsbBurnPhase::bpClosing;
    case TsbBurnStep::Ejecting:
      return TsbBurnPhase::bpEjecting;
  }
  return TsbBurnPhase::bpPreparing;
}

}  // namespace

TfrmFinalAction::TfrmFinalAction(QWidget* parent) : TsbDockForm(parent) {
  setObjectName(QStringLiteral("frmFinalAction"));

  ProgressView = new TsbBurnProgressView(this);
  pnlTop = new QWidget(this);
  pnlTop->setObjectName(QStringLiteral("pnlTop"));
  pnlTop->setFixedHeight(kTopHeightDesigned);
  lablProgressCaption = new QLabel(pnlTop);
  lablProgressCaption->setObjectName(QStringLiteral("lablProgressCaption"));
  pbWrite = new QProgressBar(pnlTop);
  pbWrite->setObjectName(QStringLiteral("pbWrite"));
  pbWrite->setRange(0, 100);
  pbWrite->setTextVisible(false);
  lblProcentValue = new QLabel(PercentText(0), pnlTop);
  lblProcentValue->setObjectName(QStringLiteral("lblProcentValue"));
  lblBufferStatus = new QLabel(tr("Buffer status:"), pnlTop);
  lblBufferStatus->setObjectName(QStringLiteral("lblBufferStatus"));
  pbBuffer = new QProgressBar(pnlTop);
  pbBuffer->setObjectName(QStringLiteral("pbBuffer"));
  pbBuffer->setRange(0, 100);
  pbBuffer->setTextVisible(false);
  lblBufferValue = new QLabel(PercentText(0), pnlTop);
  lblBufferValue->setObjectName(QStringLiteral("lblBufferValue"));
  pnlTop->installEventFilter(this);

  pnlFinalPage = new QWidget(this);
  pnlFinalPage->setObjectName(QStringLiteral("pnlFinalPage"));
  auto* finalLayout = new QVBoxLayout(pnlFinalPage);
  finalLayout->setContentsMargins(kBorder, kBorder, kBorder, kBorder);
  finalLayout->setSpacing(4);
  lblBurningLog = new QLabel(tr("Burning log:"), pnlFinalPage);
  lblBurningLog->setObjectName(QStringLiteral("lblBurningLog"));
  lvLog = new TsbLogList(pnlFinalPage);
  lvLog->setObjectName(QStringLiteral("lvLog"));
  lvLog->setColumnCount(2);
  lvLog->setHeaderLabels({tr("Information"), tr("Time")});
  lvLog->setRootIsDecorated(false);
  lvLog->setUniformRowHeights(true);
  lvLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvLog->setIconSize(QSize(16, 16));
  lvLog->header()->setSectionsClickable(false);
  lvLog->header()->setStretchLastSection(false);
  lvLog->setColumnWidth(0, kInformationWidth);
  lvLog->setColumnWidth(1, kTimeWidth);
  Label2 = new QLabel(tr("Click Save Log to save Burning Log text to a file."), pnlFinalPage);
  Label2->setObjectName(QStringLiteral("Label2"));
  btnSaveLog = new QPushButton(tr("Save &Log ..."), pnlFinalPage);
  btnSaveLog->setObjectName(QStringLiteral("btnSaveLog"));
  btnSaveLog->setEnabled(false);
  auto* saveRow = new QHBoxLayout;
  saveRow->addWidget(Label2, 1);
  saveRow->addWidget(btnSaveLog);
  finalLayout->addWidget(lblBurningLog);
  finalLayout->addWidget(lvLog, 1);
  finalLayout->addLayout(saveRow);

  auto* pageLayout = new QVBoxLayout(this);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  pageLayout->setSpacing(0);
  pageLayout->addWidget(ProgressView);
  pageLayout->addWidget(pnlTop);
  pageLayout->addWidget(pnlFinalPage, 1);

  for (int type = 0; type < 3; ++type) imlSmall.emplace_back(pictures::LogIcon(type));
  connect(btnSaveLog, &QPushButton::clicked, this, &TfrmFinalAction::btnSaveLogClick);

  ShowBuffer(false);
  lablProgressCaption->clear();
  QCoreApplication::processEvents();
}

void TfrmFinalAction::SetBurner(TsbBurner* burner) {
  TsbDockForm::SetBurner(burner);
  ResetProgress();
  ProgressView->Reset();
  completionNote_.clear();
  lvLog->setUpdatesEnabled(false);
  lvLog->clear();
  if (Log != nullptr) {
    for (int i = 0; i < Log->Count(); ++i) {
      const TsbLogItem& item = Log->Items(i);
      AppendRow(item.LogMessage, 0, item.LogTime.isNull() ? QString() : TimeText(item.LogTime.time()));
    }
  }
  lvLog->setUpdatesEnabled(true);
}

void TfrmFinalAction::AppendRow(const QString& text, int image, const QString& time) {
  auto* row = new QTreeWidgetItem(lvLog);
  row->setText(0, text);
  if (image >= 0 && image < static_cast<int>(imlSmall.size()))
    row->setIcon(0, imlSmall[static_cast<std::size_t>(image)]);
  row->setText(1, time);
}

void TfrmFinalAction::ResetProgress() {
  pbWrite->setValue(0);
  lblProcentValue->setText(PercentText(0));
  pbBuffer->setValue(0);
  lblBufferValue->setText(PercentText(0));
  pbBuffer->setEnabled(true);
}

void TfrmFinalAction::RunActions() {
  LastFailure = {};
  btnSaveLog->setEnabled(false);
  ResetProgress();
  completionNote_.clear();
  ProgressView->Start(Burner != nullptr && IsDVDDiscType(Burner->DiscType));
  // A virtual writer's earlier disc is not this run's.
  imageBefore_ = Burner != nullptr ? VirtualWriterImage(Burner->Writer) : QString();

  TsbCallBackEventer& eventer = CallBackEventer();
  eventer.OnProgress = [this](TsbCallBackEventer& sender, std::int32_t percent) { SetWriteProgress(&sender, percent); };
  eventer.OnBufferStatus = [this](TsbCallBackEventer& sender, std::int32_t percent) {
    SetBufferProgress(&sender, percent);
  };
  eventer.OnProgressBytes = [this](TsbCallBackEventer& sender, std::uint64_t total, std::uint64_t done) {
    SetWriteBytes(&sender, total, done);
  };
  eventer.OnImageFileStart = [this](TsbCallBackEventer&) { SetPhase(TsbBurnPhase::bpWritingLeadIn); };
  eventer.OnWarning = [this](TsbCallBackEventer& sender, const QString& text) {
    AddLogLine(&sender, text, TsbLogItemType::litWarning);
  };

  running_ = true;
  if (Actions == nullptr || Burner == nullptr) {
    EndRun(TsbBurnOutcome::Succeeded, {});
    return;
  }
  // The job reports from its worker; these connections queue it onto this page's thread.
  job_ = std::make_unique<TsbBurnJob>(*Actions, *Burner);
  // Each line arrives here in the job's order: it is added as it comes,
  // without serving the queue meanwhile, so no later line can overtake it.
  connect(job_.get(), &TsbBurnJob::Message, this, [this](const QString& text, TsbLogItemType kind) {
    AppendRow(text, static_cast<int>(kind), TimeText(QTime::currentTime()));
    lvLog->scrollToItem(lvLog->topLevelItem(lvLog->topLevelItemCount() - 1));
  });
  connect(job_.get(), &TsbBurnJob::StepChanged, this, &TfrmFinalAction::BurnStepChanged);
  connect(job_.get(), &TsbBurnJob::StepChanged, this,
          [this](TsbBurnStep step) { ProgressView->SetPhase(PhaseOf(step)); });
  connect(job_.get(), &TsbBurnJob::Finished, this, &TfrmFinalAction::EndRun);
  job_->Start();
}

void TfrmFinalAction::StopRun() {
  if (!job_) return;
  job_->Cancel();
  job_->Wait();
}

void TfrmFinalAction::EndRun(TsbBurnOutcome outcome, const QString& failure) {
  if (outcome == TsbBurnOutcome::Failed) {
    AddLogLine(this, failure, TsbLogItemType::litError);
    LastFailure = DescribeFailure ? DescribeFailure(failure) : TsbPlainFailure{failure, false};
    ShowErrorBox(this, LastFailure.Sentence);
  }
  if (job_) job_->Wait();  // its last act was the signal that brought us here
  TsbCallBackEventer& eventer = CallBackEventer();
  eventer.OnProgress = nullptr;
  eventer.OnBufferStatus = nullptr;
  eventer.OnImageFileStart = nullptr;
  eventer.OnProgressBytes = nullptr;
  eventer.OnWarning = nullptr;
  // Reports a worker queued before it ended must not land after the end.
  FlushQueuedUpdates(this);
  FinishProgress(outcome == TsbBurnOutcome::Failed, imageBefore_);
  SetWriteProgress(this, 100);
  pbBuffer->setValue(0);
  lblBufferValue->setText(PercentText(0));
  btnSaveLog->setEnabled(true);
  if (Burner != nullptr) Burner->Release();
  running_ = false;
  emit RunFinished(outcome);
}

void TfrmFinalAction::AddLogLine(const void* /*sender*/, const QString& text, TsbLogItemType kind) {
  const QString time = TimeText(QTime::currentTime());
  const bool onUiThread = QThread::currentThread() == thread();
  if (onUiThread) FlushQueuedUpdates(this);  // lines from workers come first
  RunOnUiThread(this, [this, text, time, kind] {
    AppendRow(text, static_cast<int>(kind), time);
    lvLog->scrollToItem(lvLog->topLevelItem(lvLog->topLevelItemCount() - 1));
  });
  if (onUiThread) QCoreApplication::processEvents();
}

void TfrmFinalAction::SetWriteProgress(const void* /*sender*/, int percent) {
  RunOnUiThread(this, [this, percent] { ApplyWriteProgress(percent); });
}

void TfrmFinalAction::SetWriteBytes(const void* /*sender*/, std::uint64_t total, std::uint64_t done) {
  RunOnUiThread(this, [this, total, done] { ProgressView->Report(total, done); });
}

void TfrmFinalAction::SetPhase(TsbBurnPhase phase) {
  RunOnUiThread(this, [this, phase] { ProgressView->SetPhase(phase); });
}

void TfrmFinalAction::FinishProgress(bool failed, const QString& imageBefore) {
  const bool cancelled = Burner != nullptr && Burner->Cancelled;
  const bool test = Burner != nullptr && Burner->TestMode;
  // A cancel can end the run with an error of the call it cut short: it is still a cancel.
  const TsbRunEnding outcome = cancelled ? TsbRunEnding::boCancelled
                               : failed  ? TsbRunEnding::boFailed
                               : test    ? TsbRunEnding::boTestCompleted
                                         : TsbRunEnding::boCompleted;
  QStringList notes;
  if (outcome == TsbRunEnding::boTestCompleted) {
    const QString line = TsbBurnProgressMeter::OutcomeText(outcome);
    AddLogLine(this, line, TsbLogItemType::litInfo);
    notes << line + QLatin1Char('.');
  }
  const QString image = Burner != nullptr ? VirtualWriterImage(Burner->Writer) : QString();
  QString detail;
  if (!image.isEmpty() && image != imageBefore) {
    AddLogLine(this, tr("The virtual writer saved the disc as %1").arg(image), TsbLogItemType::litInfo);
    notes << tr("The virtual writer saved the disc as %1.").arg(image);
    detail = image;
  }
  completionNote_ = notes.join(QLatin1Char(' '));
  ProgressView->Finish(outcome, detail);
}

void TfrmFinalAction::SetBufferProgress(const void* /*sender*/, int percent) {
  RunOnUiThread(this, [this, percent] { ApplyBufferProgress(percent); });
}

void TfrmFinalAction::ApplyWriteProgress(int percent) {
  if (percent > 100) percent = 100;
  pbWrite->setValue(percent);
  lblProcentValue->setText(PercentText(percent));
  QCoreApplication::processEvents();
}

void TfrmFinalAction::ApplyBufferProgress(int percent) {
  // The bar clamps what it cannot show; the (hidden) label keeps the report.
  pbBuffer->setValue(std::clamp(percent, 0, 100));
  lblBufferValue->setText(PercentText(percent));
  QCoreApplication::processEvents();
}

void TfrmFinalAction::ShowBuffer(bool visible) {
  showBuffer_ = visible;
  lblBufferStatus->setVisible(visible);
  pbBuffer->setVisible(visible);
  lblBufferValue->setVisible(visible);
  lablProgressCaption->setVisible(visible);
  lblProcentValue->setAlignment(visible ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
  LayoutTop();
}

void TfrmFinalAction::LayoutTop() {
  // The bars line up with the log list below them.
  const int left = kBorder;
  const int width = pnlTop->width() - 2 * kBorder;
  if (!showBuffer_) {
    lblProcentValue->setGeometry(left, 0, width, 16);
    pbWrite->setGeometry(left, 17, width, 16);
    return;
  }
  const int valueLeft = left + width - 45;
  lablProgressCaption->setGeometry(left, 0, width, 16);
  pbWrite->setGeometry(left, 18, valueLeft - left - 6, 16);
  lblProcentValue->setGeometry(valueLeft, 18, 45, 16);
  lblBufferStatus->setGeometry(left, 36, width, 14);
  pbBuffer->setGeometry(left, 51, valueLeft - left - 6, 16);
  lblBufferValue->setGeometry(valueLeft, 51, 45, 16);
}

bool TfrmFinalAction::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pnlTop && event->type() == QEvent::Resize) LayoutTop();
  return TsbDockForm::eventFilter(watched, event);
}

void TfrmFinalAction::showEvent(QShowEvent* event) {
  TsbDockForm::showEvent(event);
  FormShow();
}

void TfrmFinalAction::FormShow() {
  if (showBuffer_) return;
  pnlTop->setFixedHeight(kTopHeightShown);
  LayoutTop();
  pnlTop->repaint();
  lvLog->repaint();
  lblBurningLog->repaint();
  QCoreApplication::processEvents();
}

QString TfrmFinalAction::TimeText(const QTime& time) {
  // The long format less any time zone: "09:05:07".
  QString format = QLocale::system().timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  return QLocale::system().toString(time, format.trimmed());
}

QString TfrmFinalAction::ProposedLogFileName(const QDateTime& now) {
  return now.toString(QStringLiteral("'Log_'ddMM'_'HHmm'.txt'"));
}

bool TfrmFinalAction::SaveLogTo(const QString& path, QString& error) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = tr("Cannot write the log to %1: %2").arg(path, file.errorString());
    return false;
  }
  for (int i = 0; i < lvLog->topLevelItemCount(); ++i) {
    const QByteArray line = TsbLogList::LineOf(*lvLog->topLevelItem(i)).toLocal8Bit() + "\r\n";
    if (file.write(line) != line.size()) break;
  }
  if (!file.commit()) {
    error = tr("Cannot write the log to %1: %2").arg(path, file.errorString());
    return false;
  }
  return true;
}

void TfrmFinalAction::btnSaveLogClick() {
  QFileDialog sdSaveLog(this);
  sdSaveLog.setAcceptMode(QFileDialog::AcceptSave);
  sdSaveLog.setDefaultSuffix(QStringLiteral("txt"));
  sdSaveLog.setNameFilter(tr("Text files (*.txt)"));
  sdSaveLog.setFileMode(QFileDialog::AnyFile);
  sdSaveLog.selectFile(ProposedLogFileName(QDateTime::currentDateTime()));
  if (sdSaveLog.exec() != QDialog::Accepted || sdSaveLog.selectedFiles().isEmpty()) return;
  QString error;
  if (!SaveLogTo(sdSaveLog.selectedFiles().constFirst(), error)) ShowErrorBox(this, error);
}

}  // namespace ondrelle
