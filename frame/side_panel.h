#pragma once
// The white upper part of the welcome and completion windows: the side
// picture down the left edge and, beside it, the column of the window's
// texts. Both windows build it the same way, so they replace each other
// without the picture moving.

#include <QFrame>

class QLabel;
class QVBoxLayout;

namespace ondrelle {

class TSidePanel : public QFrame {
 public:
  /// Fills `window` above its button row; `spacing` separates the texts.
  TSidePanel(QWidget* window, int spacing);

  QFrame* LeftPanel;
  QLabel* Image2;
  /// Where the window's texts go, and the column that places them.
  QWidget* TextArea;
  QVBoxLayout* Texts;
};

/// Makes `label` the window's heading, the first of its texts: its font
/// bold and half again as large.
void MakeHeading(QLabel& label);

}  // namespace ondrelle
