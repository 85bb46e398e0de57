#include "frame/sb_dock_form.h"

#include <QEvent>

namespace ondrelle {

namespace {
constexpr int kDockMargin = 5;
}

TsbDockForm::TsbDockForm(QWidget* parent) : QWidget(parent) {}

TsbDockForm::~TsbDockForm() {
  Burner = nullptr;
  if (host_) host_->removeEventFilter(this);
}

void TsbDockForm::BeginBusy() {
  if (OnBeginBusy) OnBeginBusy(*this);
}

void TsbDockForm::EndBusy() {
  if (OnEndBusy) OnEndBusy(*this);
}

void TsbDockForm::SetBurner(TsbBurner* burner) {
  Burner = burner;
  UpdateData();
}

void TsbDockForm::FocusMainControl() {
  for (QWidget* child : findChildren<QWidget*>()) {
    if ((child->focusPolicy() & Qt::TabFocus) != 0 && child->isEnabled() && child->isVisibleTo(this)) {
      child->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

void TsbDockForm::DockTo(QWidget* host) {
  if (host_) host_->removeEventFilter(this);
  host_ = host;
  setParent(host, Qt::Widget);
  FollowHost();
  // Anchored on all four sides: the page keeps its margins as the host resizes.
  host->installEventFilter(this);
}

void TsbDockForm::FollowHost() {
  if (!host_) return;
  setGeometry(kDockMargin, kDockMargin, host_->width() - kDockMargin, host_->height() - kDockMargin);
}

bool TsbDockForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == host_ && event->type() == QEvent::Resize) FollowHost();
  return QWidget::eventFilter(watched, event);
}

}  // namespace ondrelle
