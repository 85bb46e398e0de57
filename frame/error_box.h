#pragma once
// The program's handling of a raised error: its text in an error message box.

#include <QString>

class QWidget;

namespace ondrelle {

/// Shows `message` in a modal error box with an OK button.
void ShowErrorBox(QWidget* parent, const QString& message);

/// Shows `message` in a modal warning box with an OK button.
void ShowWarningBox(QWidget* parent, const QString& message);

}  // namespace ondrelle
