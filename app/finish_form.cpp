#include "app/finish_form.h"

#include <QFrame>
#include <QVBoxLayout>

#include "app/button_row.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {
constexpr int kSideWidth = 161;
constexpr int kSideHeight = kWizardHeight - kButtonRowHeight;
}  // namespace

TfrmFinish::TfrmFinish(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmFinish"));
  setFixedSize(kWizardWidth, kWizardHeight);

  Panel1 = new QFrame(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 0, kWizardWidth, kSideHeight);
  Panel1->setStyleSheet(QStringLiteral("QFrame#Panel1, QFrame#LeftPanel { background: white }"));
  LeftPanel = new QFrame(Panel1);
  LeftPanel->setObjectName(QStringLiteral("LeftPanel"));
  LeftPanel->setGeometry(0, 0, kSideWidth, kSideHeight);
  Image2 = new QLabel(LeftPanel);
  Image2->setObjectName(QStringLiteral("Image2"));
  Image2->setGeometry(0, 0, kSideWidth, kSideHeight);

  auto* textArea = new QWidget(Panel1);
  textArea->setGeometry(kSideWidth, 0, kWizardWidth - kSideWidth, kSideHeight);
  auto* text = new QVBoxLayout(textArea);
  text->setContentsMargins(14, 14, 14, 10);
  text->setSpacing(14);
  CompleteLabel = new QLabel(textArea);
  CompleteLabel->setObjectName(QStringLiteral("CompleteLabel"));
  CompleteLabel->setWordWrap(true);
  QFont big = CompleteLabel->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.5);
  CompleteLabel->setFont(big);
  DescriptionLabel = new QLabel(textArea);
  DescriptionLabel->setObjectName(QStringLiteral("DescriptionLabel"));
  DescriptionLabel->setWordWrap(true);
  text->addWidget(CompleteLabel);
  text->addWidget(DescriptionLabel);
  text->addStretch(1);

  const TButtonRow row(this, kWizardHeight, "btnAbout");
  DownPanel = row.DownPanel;
  ButtonPrev = row.ButtonPrev;
  ButtonNext = row.ButtonNext;
  ButtonClose = row.ButtonClose;
  btnAbout = row.About;
  ButtonPrev->setText(LoadStr(15102));
  ButtonPrev->setEnabled(false);
  ButtonNext->setText(tr("&Finish"));
  ButtonClose->setText(LoadStr(15103));
  ButtonClose->setEnabled(false);
  btnAbout->setText(tr("About"));

  connect(ButtonNext, &QPushButton::clicked, this, &TfrmFinish::ButtonNextClick);
  connect(btnAbout, &QPushButton::clicked, this, &TfrmFinish::btnAboutClick);
}

void TfrmFinish::ButtonNextClick() {
  close();
  emit Finished();
}

void TfrmFinish::btnAboutClick() {
  if (ShowAbout) ShowAbout();
}

}  // namespace ondrelle
