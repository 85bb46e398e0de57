#include "frame/button_row.h"

namespace ondrelle {

namespace {

constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 22;
constexpr int kButtonTop = 13;

QPushButton* Button(QWidget* parent, const char* name, int left) {
  auto* button = new QPushButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
  return button;
}

}  // namespace

TButtonRow::TButtonRow(QWidget* window, int clientHeight, const char* aboutName) {
  DownPanel = new QFrame(window);
  DownPanel->setObjectName(QStringLiteral("DownPanel"));
  DownPanel->setGeometry(0, clientHeight - kButtonRowHeight, kWizardWidth, kButtonRowHeight);
  auto* line = new QFrame(DownPanel);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  line->setGeometry(0, 0, kWizardWidth, 2);
  ButtonPrev = Button(DownPanel, "ButtonPrev", 166);
  ButtonNext = Button(DownPanel, "ButtonNext", 241);
  ButtonClose = Button(DownPanel, "ButtonClose", 327);
  About = Button(DownPanel, aboutName, 410);
  ButtonNext->setDefault(true);
  // Enter on the focused Next presses it in every window of the row, not
  // only in dialogs.
  ButtonNext->setAutoDefault(true);
}

}  // namespace ondrelle
