#include "pages/final_action_form.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QSaveFile>
#include <QVBoxLayout>

#include "app/error_box.h"
#include "app/pictures.h"
#include "app/ui_thread.h"
#include "engine/action.h"
#include "engine/action_list.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "log/operation_log.h"

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

}  // namespace

TfrmFinalAction::TfrmFinalAction(QWidget* parent) : TsbDockForm(parent) {
  setObjectName(QStringLiteral("frmFinalAction"));

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
  lvLog = new QTreeWidget(pnlFinalPage);
  lvLog->setObjectName(QStringLiteral("lvLog"));
  lvLog->setColumnCount(2);
  lvLog->setHeaderLabels({tr("Information"), tr("Time")});
  lvLog->setRootIsDecorated(false);
  lvLog->setUniformRowHeights(true);
  lvLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvLog->setSelectionMode(QAbstractItemView::SingleSelection);
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
  btnSaveLog->setEnabled(false);
  ResetProgress();

  TsbCallBackEventer& eventer = CallBackEventer();
  eventer.OnProgress = [this](TsbCallBackEventer& sender, std::int32_t percent) { SetWriteProgress(&sender, percent); };
  eventer.OnBufferStatus = [this](TsbCallBackEventer& sender, std::int32_t percent) {
    SetBufferProgress(&sender, percent);
  };
  eventer.OnImageFileStart = [](TsbCallBackEventer&) {};

  if (Actions != nullptr) {
    Actions->OnMessage = [this](const void* sender, const QString& text, TsbLogItemType kind) {
      AddLogLine(sender, text, kind);
    };
    Actions->ApplyMessageHandler();
    Actions->Burner = Burner;
    for (int i = 0; i < Actions->Count(); ++i) {
      TsbActionItem& item = Actions->Items(i);
      if (item.Action == nullptr) continue;
      QString failure;
      try {
        item.Action->Execute(&item);
      } catch (const TsbError& error) {
        failure = error.Message();
      } catch (const std::exception& error) {
        failure = QString::fromLocal8Bit(error.what());
      }
      if (!failure.isNull()) {
        AddLogLine(this, failure, TsbLogItemType::litError);
        ShowErrorBox(this, failure);
        break;
      }
    }
    Actions->Burner = nullptr;
  }

  eventer.OnProgress = nullptr;
  eventer.OnBufferStatus = nullptr;
  eventer.OnImageFileStart = nullptr;
  // Reports a worker queued before it ended must not land after the end.
  FlushQueuedUpdates(this);
  SetWriteProgress(this, 100);
  pbBuffer->setValue(0);
  lblBufferValue->setText(PercentText(0));
  btnSaveLog->setEnabled(true);
  if (Burner != nullptr) Burner->Release();
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
    const QTreeWidgetItem* row = lvLog->topLevelItem(i);
    QString time = row->text(1);
    if (time.isEmpty()) time = QString(8, QLatin1Char(' '));
    const QByteArray line = (time + QLatin1Char(' ') + row->text(0)).toLocal8Bit() + "\r\n";
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
