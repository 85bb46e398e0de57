#include "frame/side_panel.h"

#include <QLabel>
#include <QVBoxLayout>

#include "frame/button_row.h"
#include "frame/pictures.h"

namespace ondrelle {

namespace {
constexpr int kSideWidth = 161;
constexpr int kSideHeight = kWizardHeight - kButtonRowHeight;  // 314
}  // namespace

TSidePanel::TSidePanel(QWidget* window, int spacing) : QFrame(window) {
  setObjectName(QStringLiteral("Panel1"));
  setGeometry(0, 0, kWizardWidth, kSideHeight);
  setStyleSheet(QStringLiteral("QFrame#Panel1, QFrame#LeftPanel { background: white }"));

  LeftPanel = new QFrame(this);
  LeftPanel->setObjectName(QStringLiteral("LeftPanel"));
  LeftPanel->setGeometry(0, 0, kSideWidth, kSideHeight);
  Image2 = new QLabel(LeftPanel);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setGeometry(0, 0, kSideWidth, kSideHeight);
  Image2->setPixmap(pictures::SidePicture());

  TextArea = new QWidget(this);
  TextArea->setGeometry(kSideWidth, 0, kWizardWidth - kSideWidth, kSideHeight);
  Texts = new QVBoxLayout(TextArea);
  Texts->setContentsMargins(14, 14, 14, 10);
  Texts->setSpacing(spacing);
}

void MakeHeading(QLabel& label) {
  QFont big = label.font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.5);
  label.setFont(big);
}

}  // namespace ondrelle
