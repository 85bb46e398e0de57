#include "app/welcome_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include "frame/button_row.h"
#include "frame/side_panel.h"
#include "frame/wrapped_label.h"
#include "strings/string_table.h"

namespace ondrelle {

void ReplaceWindow(QWidget& current, QWidget& next) {
  next.move(current.pos());
  next.show();
  next.repaint();
  current.hide();
}

TfrmWelcome::TfrmWelcome(QWidget* parent) : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint) {
  setObjectName(QStringLiteral("frmWelcome"));
  setWindowTitle(QStringLiteral("Ondrelle"));
  setFixedSize(kWizardWidth, kWizardHeight);

  auto* side = new TSidePanel(this, 10);
  Panel1 = side;
  LeftPanel = side->LeftPanel;
  Image2 = side->Image2;
  QVBoxLayout* text = side->Texts;
  auto* kinds = new QVBoxLayout;
  kinds->setSpacing(2);
  auto label = [side](QVBoxLayout* into, const char* name, const QString& caption, int indent = 0) {
    QLabel* created = WrappedLabel(caption, QString::fromLatin1(name), side->TextArea);
    created->setIndent(indent);
    into->addWidget(created);
    return created;
  };
  WelcomeLabel = label(text, "WelcomeLabel", tr("Welcome to the Ondrelle"));
  MakeHeading(*WelcomeLabel);
  DescriptionLabel =
      label(text, "DescriptionLabel", tr("This wizard will guide you through video disc creation process"));
  Label1 = label(kinds, "Label1", tr("Ondrelle supports burning video discs from these video file types:"));
  Label2 = label(kinds, "Label2", tr("* Video CD - MPEG 1"), 8);
  Label4 = label(kinds, "Label4", tr("* Super Video CD - MPEG 2"), 8);
  Label3 = label(kinds, "Label3", tr("* DVD Video - premastered VIDEO_TS folder"), 8);
  text->addLayout(kinds);
  text->addStretch(1);
  lblPressNext = label(text, "lblPressNext", tr("Click Next to continue or Cancel to exit."));

  const TButtonRow row(this, kWizardHeight, "btnAbout");
  DownPanel = row.DownPanel;
  ButtonPrev = row.ButtonPrev;
  ButtonNext = row.ButtonNext;
  ButtonClose = row.ButtonClose;
  btnAbout = row.About;
  ButtonPrev->setText(LoadStr(15102));
  ButtonPrev->setEnabled(false);
  ButtonNext->setText(LoadStr(15101));
  ButtonClose->setText(LoadStr(15103));
  btnAbout->setText(tr("&About"));
  ButtonNext->setFocus();

  connect(ButtonNext, &QPushButton::clicked, this, &TfrmWelcome::ButtonNextClick);
  connect(ButtonClose, &QPushButton::clicked, this, &TfrmWelcome::ButtonCloseClick);
  connect(btnAbout, &QPushButton::clicked, this, &TfrmWelcome::btnAboutClick);

  // Centred on the desktop.
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TfrmWelcome::ButtonNextClick() {
  if (WizardForm != nullptr) ReplaceWindow(*this, *WizardForm);
}

void TfrmWelcome::ButtonCloseClick() {
  close();
}

void TfrmWelcome::btnAboutClick() {
  if (ShowAbout) ShowAbout();
}

void TfrmWelcome::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Closed();
}

}  // namespace ondrelle
