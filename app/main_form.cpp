#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>

#include "app/about_form.h"
#include "app/error_box.h"
#include "app/finish_form.h"
#include "app/pictures.h"
#include "app/ui_thread.h"
#include "app/welcome_form.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "pages/final_action_form.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

struct PageTitles {
  int page;
  int title;
  int subTitle;
};

constexpr PageTitles kTitles[] = {
    {wpTransport, 15220, 15221}, {wpDevice, 15447, 15448},      {wpDiscType, 16050, 16051}, {wpSource, 16052, 16053},
    {wpBurnMode, 15235, 15234},  {wpBurnOptions, 15210, 15211}, {wpSummary, 15223, 16059},  {wpBurn, 15202, 16064},
};

/// The hourglass for the length of a page change.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

TMainForm::TMainForm(TfrmWelcome& welcome, TfrmAbout& about, TfrmFinish& finish, QWidget* parent)
    : TsbMainForm(parent), welcome_(welcome), about_(about), finish_(finish) {
  setObjectName(QStringLiteral("MainForm"));
  setWindowTitle(QStringLiteral("Ondrelle"));
  Confirm = [this](const QString& question) {
    return QMessageBox::question(this, windowTitle(), question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
  };
  for (int index = 0; index < 9; ++index) {
    const QString host = index == wpBurn ? QStringLiteral("pnlFinalPage") : QStringLiteral("pnlTs%1").arg(index);
    AddPageSheet(QStringLiteral("ts%1").arg(index), host);
  }
  Image1->setPixmap(pictures::WizardHeader());

  TopPanel->show();
  CallBackEventer().OnCancelEnabled = [this](TsbCallBackEventer&, bool enabled) {
    RunOnUiThread(this, [this, enabled] { SetCancelEnabled(enabled); });
  };
  pcBurner->setCurrentIndex(wpTransport);
  connect(pcBurner, &QStackedWidget::currentChanged, this, [this](int) { PageChanged(); });

  connect(ButtonNext, &QPushButton::clicked, this, &TMainForm::ButtonNextClick);
  connect(ButtonPrev, &QPushButton::clicked, this, &TMainForm::ButtonPrevClick);
  connect(ButtonClose, &QPushButton::clicked, this, &TMainForm::ButtonCloseClick);
  connect(ButtonAbout, &QPushButton::clicked, this, &TMainForm::ButtonAboutClick);
  FormCreate();
}

TMainForm::~TMainForm() {
  CallBackEventer().OnCancelEnabled = nullptr;
}

void TMainForm::FormCreate() {
  const QString caption = windowTitle();
  welcome_.setWindowTitle(caption);
  QApplication::setApplicationDisplayName(caption);
  about_.lblAppName->setText(caption);
  about_.setWindowTitle(tr("About ") + caption);
  about_.Image1->setPixmap(pictures::ApplicationIcon().pixmap(33, 33));
  finish_.setWindowTitle(caption);
  finish_.CompleteLabel->setText(LoadStr(15230));
  finish_.Image2->setPixmap(welcome_.Image2->pixmap());
}

void TMainForm::BuildPageOrder() {
  TsbMainForm::BuildPageOrder();
  for (int index : {wpTransport, wpDevice, wpDiscType, wpSource, wpBurnMode, wpBurnOptions, wpSummary, wpBurn})
    PageOrder.append(QString::number(index));
}

void TMainForm::LockWizard() {
  TsbMainForm::LockWizard();
  ButtonPrev->setEnabled(false);
  ButtonNext->setEnabled(false);
  ButtonClose->setEnabled(false);
}

void TMainForm::UpdateButtons() {
  ButtonPrev->setEnabled(BurnState != 2);
  ButtonNext->setEnabled(true);
  ButtonClose->setEnabled(BurnState != 2);
}

void TMainForm::LoadCaptions() {
  ButtonNext->setText(LoadStr(15101));
  ButtonPrev->setText(LoadStr(15102));
  ButtonClose->setText(LoadStr(15103));
  ButtonAbout->setText(tr("About"));
}

void TMainForm::SetCancelEnabled(bool enabled) {
  ButtonClose->setEnabled(enabled);
}

TfrmFinalAction* TMainForm::FinalPage() const {
  return qobject_cast<TfrmFinalAction*>(Page(wpBurn));
}

void TMainForm::showEvent(QShowEvent* event) {
  TsbMainForm::showEvent(event);
  BuildPageOrder();
  PageChanged();
  LoadCaptions();
  PreparePage(wpTransport);
}

void TMainForm::ShowPageTitles(int index) {
  for (const PageTitles& titles : kTitles) {
    if (titles.page != index) continue;
    LabelTitle->setText(LoadStr(titles.title));
    LabelSubTitle->setText(LoadStr(titles.subTitle));
  }
}

void TMainForm::PageChanged() {
  WaitCursor hourglass;
  const int page = ActivePage();
  TopPanel->show();
  if (page == wpTransport) {
    ButtonNext->setText(LoadStr(15101));
    ButtonClose->setText(LoadStr(15103));
  } else if (page == wpBurn) {
    RunBurn();
  } else {
    ButtonNext->setText(LoadStr(15101));
  }
  UpdateButtons();
  ShowPageTitles(page);
}

void TMainForm::RunBurn() {
  ShowPageTitles(wpBurn);
  ButtonPrev->setEnabled(false);
  ButtonNext->setEnabled(false);
  ButtonClose->setEnabled(true);
  BurnState = 1;
  if (TfrmFinalAction* burnPage = FinalPage()) burnPage->RunActions();
  ButtonNext->setEnabled(true);
  if (ButtonNext->isVisible()) ButtonNext->setFocus();
  BurnState = 2;
}

void TMainForm::PreparePage(int index) {
  if (index == wpBurn) {
    if (Page(wpBurn) == nullptr) AdoptPage(wpBurn, new TfrmFinalAction);
    TfrmFinalAction* burnPage = FinalPage();
    burnPage->Log = Log.get();
    burnPage->Actions = Actions.get();
    burnPage->SetBurner(Burner.get());
    burnPage->show();
    return;
  }
  if (TsbDockForm* page = Page(index)) {
    page->SetBurner(Burner.get());
    page->show();
  }
}

void TMainForm::AdoptPage(int index, TsbDockForm* page) {
  pages_.at(static_cast<std::size_t>(index)) = page;
  page->DockTo(PageHost(index));
}

void TMainForm::CollectPageContributions(int index) {
  if (index == wpTransport) {
    Log->Clear();
    Log->Add().LogMessage = LoadStr(16064);
    return;
  }
  if (index == wpBurn || index == wpUnused || index == wpSource || index == wpSummary) return;
  DeletePageActions(index);
  DeletePageLog(index);
  ImportPageLog(Page(index), index);
  ImportPageActions(Page(index), index);
}

void TMainForm::ButtonNextClick() {
  if (BurnState == 2) {
    QString text = LoadStr(15231);
    if (Burner->BurnSucceeded && !Burner->Cancelled)
      text = LoadStr(15229);
    else if (Burner->Cancelled)
      text = LoadStr(15232);
    finish_.DescriptionLabel->setText(text);
    ReplaceWindow(*this, finish_);
    return;
  }
  try {
    const int page = ActivePage();
    if (page == wpTransport) {
      StartLibrary();
      BuildPageOrder();
    }
    ValidatePage();
    CollectPageContributions(page);
    PageForward();
    const int next = NextPage(page);
    if (next < 0) return;
    PreparePage(next);
    // The switch runs PageChanged through the page control's change handler.
    pcBurner->setCurrentIndex(next);
  } catch (const TsbError& error) {
    ShowErrorBox(this, error.Message());
  }
}

void TMainForm::ButtonPrevClick() {
  const int page = ActivePage();
  if (page == wpTransport) {
    ReplaceWindow(*this, welcome_);
    return;
  }
  const int target = PrevPage(page);
  if (target < 0) return;
  PageBack(page, target);
  DeletePageLog(page);
  DeletePageActions(page);
  pcBurner->setCurrentIndex(target);
}

void TMainForm::ButtonCloseClick() {
  switch (BurnState) {
    case 1:
      ButtonNext->setEnabled(false);
      if (Confirm(LoadStr(15501))) {
        Burner->Cancel();
        BurnState = 0;
        ButtonClose->setEnabled(false);
      }
      break;
    case 0:
      close();
      welcome_.close();
      finish_.close();
      break;
    default:
      welcome_.close();
      finish_.close();
      break;
  }
}

void TMainForm::ButtonAboutClick() {
  about_.exec();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (CanClose)
    event->accept();
  else
    event->ignore();
  welcome_.close();
}

}  // namespace ondrelle
