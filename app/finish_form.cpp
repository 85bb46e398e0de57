#include "app/finish_form.h"

#include <QShowEvent>
#include <QVBoxLayout>

#include "frame/button_row.h"
#include "frame/side_panel.h"
#include "frame/wrapped_label.h"
#include "strings/string_table.h"

namespace ondrelle {

TfrmFinish::TfrmFinish(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmFinish"));
  setFixedSize(kWizardWidth, kWizardHeight);

  auto* side = new TSidePanel(this, 14);
  Panel1 = side;
  LeftPanel = side->LeftPanel;
  Image2 = side->Image2;
  QWidget* textArea = side->TextArea;
  QVBoxLayout* text = side->Texts;
  CompleteLabel = WrappedLabel(QString(), QStringLiteral("CompleteLabel"), textArea);
  MakeHeading(*CompleteLabel);
  DescriptionLabel = WrappedLabel(QString(), QStringLiteral("DescriptionLabel"), textArea);
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
  btnAbout->setText(tr("&About"));

  connect(ButtonNext, &QPushButton::clicked, this, &TfrmFinish::ButtonNextClick);
  connect(btnAbout, &QPushButton::clicked, this, &TfrmFinish::btnAboutClick);
  Navigation = new TNavigationGuard(this);
  Navigation->Watch(ButtonNext);
}

void TfrmFinish::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Shown by the wizard's Next at the same place: a double click there
  // must leave the result on the screen.
  Navigation->Settle();
}

void TfrmFinish::ButtonNextClick() {
  close();
  emit Finished();
}

void TfrmFinish::btnAboutClick() {
  if (ShowAbout) ShowAbout();
}

}  // namespace ondrelle
