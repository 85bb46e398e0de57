#include "frame/navigation_guard.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStyleHints>

namespace ondrelle {

namespace {

/// The events by which a user presses a button: the pointer, the keys a
/// focused button answers, and its mnemonic.
bool IsPress(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Shortcut:
      return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const int key = static_cast<const QKeyEvent&>(event).key();
      return key == Qt::Key_Space || key == Qt::Key_Select || key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    default:
      return false;
  }
}

}  // namespace

TNavigationGuard::TNavigationGuard(QObject* parent) : QObject(parent) {}

void TNavigationGuard::Watch(QAbstractButton* button) {
  buttons_.emplace_back(button);
  button->installEventFilter(this);
}

void TNavigationGuard::Hold() {
  holding_ = true;
}

void TNavigationGuard::Settle() {
  holding_ = false;
  settled_.start();
}

bool TNavigationGuard::Refusing() const {
  if (holding_) return true;
  return settled_.isValid() && settled_.elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
}

bool TNavigationGuard::eventFilter(QObject* watched, QEvent* event) {
  if (!IsPress(*event) || !Refusing()) return QObject::eventFilter(watched, event);
  // A press taken before the change began must not leave its button held down.
  if (auto* button = qobject_cast<QAbstractButton*>(watched); button != nullptr && button->isDown())
    button->setDown(false);
  return true;
}

}  // namespace ondrelle
