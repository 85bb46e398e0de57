#include "pages/operation_progress_form.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace ondrelle {

TfrmOperationProgress::TfrmOperationProgress(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmOperationProgress"));
  setFixedSize(371, 161);
  setModal(false);

  lblInfo = new QLabel(this);
  lblInfo->setObjectName(QStringLiteral("lblInfo"));
  lblInfo->setGeometry(10, 10, 348, 63);
  lblInfo->setWordWrap(true);
  lblInfo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Animate = new TClockAnimation(this);
  Animate->setObjectName(QStringLiteral("Animate"));
  Animate->setGeometry(10, 80, 352, 18);
  lblCancelling = new QLabel(tr("Cancelling..."), this);
  lblCancelling->setObjectName(QStringLiteral("lblCancelling"));
  lblCancelling->setGeometry(10, 124, 180, 22);
  lblCancelling->hide();
  btnCancel = new QPushButton(tr("&Cancel"), this);
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  btnCancel->setGeometry(371 - 10 - 75, 124, 75, 25);
  connect(btnCancel, &QPushButton::clicked, this, &TfrmOperationProgress::btnCancelClick);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  FormCreate();
}

void TfrmOperationProgress::FormCreate() {
  lblInfo->clear();
  active_ = false;
  Animate->Open(QStringLiteral("MYCLOCK"), 4);
}

void TfrmOperationProgress::ShowCancel(bool visible) {
  btnCancel->setVisible(visible);
}

void TfrmOperationProgress::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Animate->Play();
  active_ = true;
}

void TfrmOperationProgress::hideEvent(QHideEvent* event) {
  Animate->Stop();
  active_ = false;
  QDialog::hideEvent(event);
}

void TfrmOperationProgress::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && !isActiveWindow()) FormDeactivate();
}

void TfrmOperationProgress::FormDeactivate() {
  if (!active_) return;
  // Back to the front once the activation that took it away has settled.
  QTimer::singleShot(0, this, [this] {
    if (!active_) return;
    raise();
    activateWindow();
  });
}

void TfrmOperationProgress::btnCancelClick() {
  if (!OnCancel) return;
  lblCancelling->show();
  btnCancel->setEnabled(false);
  OnCancel();
}

TsbOperationProgressFactory TfrmOperationProgress::Factory() {
  return [] { return std::make_unique<TfrmOperationProgress>(); };
}

}  // namespace ondrelle
