#pragma once
// The row of four buttons along the bottom of the wizard, the welcome and
// the completion windows: a line along its top edge, Back, Next, Cancel
// and About at the same places on all three, so the windows replace each
// other without the buttons moving.

#include <QFrame>
#include <QPushButton>

namespace ondrelle {

struct TButtonRow {
  /// Builds the row as the bottom band of a 497-wide window of `clientHeight`.
  TButtonRow(QWidget* window, int clientHeight, const char* aboutName);

  QFrame* DownPanel;
  QPushButton* ButtonPrev;
  QPushButton* ButtonNext;
  QPushButton* ButtonClose;
  QPushButton* About;
};

/// Width and height of the wizard, welcome and completion windows.
inline constexpr int kWizardWidth = 497;
inline constexpr int kWizardHeight = 360;
inline constexpr int kButtonRowHeight = 46;

}  // namespace ondrelle
