#include "frame/error_box.h"

#include <QApplication>
#include <QMessageBox>

namespace ondrelle {

void ShowErrorBox(QWidget* parent, const QString& message) {
  QMessageBox::critical(parent, QApplication::applicationDisplayName(), message, QMessageBox::Ok);
}

void ShowWarningBox(QWidget* parent, const QString& message) {
  QMessageBox::warning(parent, QApplication::applicationDisplayName(), message, QMessageBox::Ok);
}

}  // namespace ondrelle
