#include "app/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMessageBox>

#include "app/about_form.h"
#include "app/finish_form.h"
#include "app/welcome_form.h"
#include "engine/burn_failure_text.h"
#include "engine/disc_verify.h"
#include "engine/page_checks.h"
#include "engine/source_check.h"
#include "engine/tsb_error.h"
#include "engine/video_file_action.h"
#include "engine/writer_readiness.h"
#include "frame/error_box.h"
#include "frame/pictures.h"
#include "frame/ui_thread.h"
#include "log/callback_eventer.h"
#include "pages/burn_mode_form.h"
#include "pages/burn_options_form.h"
#include "pages/final_action_form.h"
#include "pages/options_summary_form.h"
#include "pages/select_device_form.h"
#include "pages/select_transport_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"
#include "platform/executable_path.h"
#include "platform/user_settings.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

/// The user setting that remembers the verify check box.
constexpr QLatin1StringView kVerifySetting("VerifyAfterBurn");

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
  TemplateDirectory = platform::ExecutableDirectory();
  Burner->VerifyAfterBurn = platform::ReadUserSwitch(kVerifySetting, true);
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
  // A burn still running uses the burner, which the frame destroys before
  // the pages: it is cancelled and waited for while everything it uses is here.
  if (TfrmFinalAction* burnPage = FinalPage()) burnPage->StopRun();
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
  // While the burn runs only Cancel is offered; its end enables Next, and
  // Back after a burn refused on its source.
  ButtonPrev->setEnabled((BurnState != 2 || backAfterFailure_) && !burnRunning_);
  ButtonNext->setEnabled(!burnRunning_);
  ButtonClose->setEnabled(BurnState != 2);
}

void TMainForm::LoadCaptions() {
  ButtonNext->setText(LoadStr(15101));
  ButtonPrev->setText(LoadStr(15102));
  ButtonClose->setText(LoadStr(15103));
  ButtonAbout->setText(tr("&About"));
}

void TMainForm::SetCancelEnabled(bool enabled) {
  ButtonClose->setEnabled(enabled);
}

TfrmFinalAction* TMainForm::FinalPage() const {
  return qobject_cast<TfrmFinalAction*>(Page(wpBurn));
}

TSelectTransportForm* TMainForm::TransportPage() const {
  return qobject_cast<TSelectTransportForm*>(Page(wpTransport));
}

TfrmSelectDevice* TMainForm::DevicePage() const {
  return qobject_cast<TfrmSelectDevice*>(Page(wpDevice));
}

TfrmVideoOptions* TMainForm::DiscTypePage() const {
  return qobject_cast<TfrmVideoOptions*>(Page(wpDiscType));
}

TfrmSourceData* TMainForm::SourcePage() const {
  return qobject_cast<TfrmSourceData*>(Page(wpSource));
}

TfrmBurnMode* TMainForm::BurnModePage() const {
  return qobject_cast<TfrmBurnMode*>(Page(wpBurnMode));
}

TfrmBurnOptions* TMainForm::BurnOptionsPage() const {
  return qobject_cast<TfrmBurnOptions*>(Page(wpBurnOptions));
}

TfrmOptionsSummary* TMainForm::SummaryPage() const {
  return qobject_cast<TfrmOptionsSummary*>(Page(wpSummary));
}

void TMainForm::showEvent(QShowEvent* event) {
  TsbMainForm::showEvent(event);
  BuildPageOrder();
  PageChanged();
  LoadCaptions();
  PreparePage(wpTransport);
  FocusPage(wpTransport);
  // The window appears where the welcome window's Next was pressed: the
  // second click of a double click there is not a press of this Next.
  Navigation->Settle();
}

void TMainForm::FocusPage(int index) {
  if (TsbDockForm* page = Page(index)) page->FocusMainControl();
  // The scan's wait window takes the activation and gives it to nobody
  // when it goes: the wizard takes it back, or the first key is lost.
  if (isVisible() && QApplication::activeWindow() == nullptr) activateWindow();
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
    FocusPage(wpBurn);
    RunBurn();
  } else {
    ButtonNext->setText(LoadStr(15101));
  }
  UpdateButtons();
  ShowPageTitles(page);
  if (page != wpBurn) FocusPage(page);
}

void TMainForm::RunBurn() {
  ShowPageTitles(wpBurn);
  ButtonPrev->setEnabled(false);
  ButtonNext->setEnabled(false);
  ButtonClose->setEnabled(true);
  BurnState = 1;
  burnRunning_ = true;
  backAfterFailure_ = false;
  TfrmFinalAction* burnPage = FinalPage();
  if (burnPage == nullptr) {
    BurnEnded();
    return;
  }
  burnPage->RunActions();
}

void TMainForm::BurnEnded() {
  burnRunning_ = false;
  // A source refused before anything was written can be mended on its page.
  if (TfrmFinalAction* burnPage = FinalPage())
    backAfterFailure_ = !Burner->Cancelled && burnPage->LastFailure.SourceAtFault;
  ButtonPrev->setEnabled(backAfterFailure_);
  ButtonNext->setEnabled(true);
  if (ButtonNext->isVisible()) ButtonNext->setFocus();
  BurnState = 2;
  // A close asked for during the burn is carried out now that it has returned.
  if (closeAfterBurn_) {
    closeAfterBurn_ = false;
    close();
  }
}

void TMainForm::PreparePage(int index) {
  auto busyHandlers = [this](TsbDockForm& page) {
    page.OnBeginBusy = [this](TsbDockForm&) { LockWizard(); };
    page.OnEndBusy = [this](TsbDockForm&) { UnlockWizard(); };
  };
  switch (index) {
    case wpTransport:
      if (Page(wpTransport) == nullptr) AdoptPage(wpTransport, new TSelectTransportForm);
      Page(wpTransport)->show();
      return;
    case wpDevice: {
      if (Page(wpDevice) == nullptr) {
        AdoptPage(wpDevice, new TfrmSelectDevice);
        DevicePage()->InfoText = LoadStr(16060);
      }
      TfrmSelectDevice* page = DevicePage();
      page->ShowAllDevices = false;
      busyHandlers(*page);
      Burner->TransportType = TransportPage()->GetTransport();
      page->SetBurner(Burner.get());
      page->show();
      return;
    }
    case wpDiscType: {
      if (Page(wpDiscType) == nullptr) AdoptPage(wpDiscType, new TfrmVideoOptions);
      TfrmVideoOptions* page = DiscTypePage();
      page->SetBurner(Burner.get());
      busyHandlers(*page);
      page->show();
      return;
    }
    case wpSource: {
      if (Page(wpSource) == nullptr) AdoptPage(wpSource, new TfrmSourceData);
      TfrmSourceData* page = SourcePage();
      busyHandlers(*page);
      page->SetSourceKind(DiscTypePage()->GetDiscKind());
      page->SetPossibleSize(Burner->DiscSpace.FreeSize);
      page->SetPossibleSectors(Burner->DiscSpace.FreeCount);
      page->SetBurner(Burner.get());
      page->show();
      return;
    }
    case wpBurnMode: {
      if (Page(wpBurnMode) == nullptr) AdoptPage(wpBurnMode, new TfrmBurnMode);
      TfrmBurnMode* page = BurnModePage();
      page->FromFile = true;
      page->AllowDAOPQ = false;
      page->AllowDAORaw = false;
      page->AllowSAO = DiscTypePage()->GetDiscKind() != vkDVDVideo;
      page->SetBurner(Burner.get());
      page->show();
      return;
    }
    case wpBurnOptions:
      if (Page(wpBurnOptions) == nullptr) AdoptPage(wpBurnOptions, new TfrmBurnOptions);
      BurnOptionsPage()->SetBurner(Burner.get());
      BurnOptionsPage()->show();
      return;
    case wpSummary:
      if (Page(wpSummary) == nullptr) {
        AdoptPage(wpSummary, new TfrmOptionsSummary);
        SummaryPage()->lblNextAction->setText(tr("Click Next to start burning."));
      }
      FillSummary();
      SummaryPage()->show();
      return;
    case wpBurn: {
      if (Page(wpBurn) == nullptr) {
        AdoptPage(wpBurn, new TfrmFinalAction);
        connect(FinalPage(), &TfrmFinalAction::RunFinished, this, [this] { BurnEnded(); });
      }
      TfrmFinalAction* burnPage = FinalPage();
      burnPage->Log = Log.get();
      burnPage->Actions = Actions.get();
      burnPage->DescribeFailure = [this](const QString& failure) {
        return PlainBurnFailure(failure, DiscTypePage()->GetDiscKind(), SourcePage()->SourcePath());
      };
      burnPage->SetBurner(Burner.get());
      burnPage->show();
      return;
    }
    default:
      return;
  }
}

void TMainForm::FillSummary() {
  TfrmOptionsSummary* page = SummaryPage();
  page->lblName->setText(tr("Video disc will be created with the following options chosen:"));
  TsbSummaryValues values;
  values.Device = DevicePage()->GetDeviceInfo();
  values.DevicePath = DevicePage()->GetDevicePath();
  values.DiscType = DevicePage()->GetDiscType();
  values.Transport = TransportPage()->GetTransport();
  values.Speed = BurnOptionsPage()->GetSelectedSpeed().StrSpeed;
  values.SendOPC = Burner->SendOPC;
  values.BurnMode = BurnModePage()->GetBurnModeText();
  values.TestMode = Burner->TestMode;
  values.Verify = Burner->VerifyAfterBurn;
  values.VideoFormat = DiscTypePage()->GetDiscKindText();
  values.SourcePath = SourcePage()->SourcePath();
  page->Fill(values);
}

void TMainForm::AdoptPage(int index, TsbDockForm* page) {
  pages_.at(static_cast<std::size_t>(index)) = page;
  page->DockTo(PageHost(index));
}

void TMainForm::CollectPageContributions(int index) {
  switch (index) {
    case wpTransport:
      Log->Clear();
      Log->Add().LogMessage = LoadStr(16064);
      return;
    case wpDevice:
    case wpDiscType:
      DeletePageActions(index);
      DeletePageLog(index);
      ImportPageLog(Page(index), index);
      if (index == wpDiscType) ImportPageActions(Page(index), index);
      return;
    case wpBurnMode:
    case wpBurnOptions:
      DeletePageLog(index);
      ImportPageLog(Page(index), index);
      return;
    default:
      // The source page's line is written by its check; the others have none.
      return;
  }
}

bool TMainForm::ValidatePage() {
  switch (ActivePage()) {
    case wpDevice:
      ValidateDevicePage();
      break;
    case wpDiscType:
      CheckDiscSuitsKind(DiscTypePage()->GetDiscKind(), Burner->DiscType);
      break;
    case wpSource:
      ValidateSourcePage();
      break;
    case wpSummary:
      // A source deleted or changed after its page is caught before the burn starts.
      SourcePage()->RequireSourceUnchanged();
      break;
    case wpBurnMode: {
      const TsbBurnModeChoice choice = BurnModePage()->GetBurnMode();
      Burner->BurnMode = choice.Mode;
      Burner->TestMode = choice.Test;
      break;
    }
    case wpBurnOptions: {
      TfrmBurnOptions* page = BurnOptionsPage();
      Burner->MultiSession = page->GetMultiSession();
      Burner->SendOPC = page->GetSendOPC();
      if (Burner->VerifyAfterBurn != page->GetVerify()) {
        Burner->VerifyAfterBurn = page->GetVerify();
        platform::WriteUserSwitch(kVerifySetting, Burner->VerifyAfterBurn);
      }
      const TsbDiscSpeedItem speed = page->GetSelectedSpeed();
      Burner->SpeedInPoint = speed.SpeedInPoint;
      Burner->SpeedInSize = speed.SpeedInSize;
      break;
    }
    default:
      break;
  }
  return true;
}

void TMainForm::ValidateDevicePage() {
  TfrmSelectDevice* page = DevicePage();
  page->ShowProgress = true;
  CheckDeviceSelected(page->HasSelection());
  if (page->GetDiscInformation()[0] == 0) {
    // The disc may not have been ready at the scan: look once more, quietly.
    page->ShowProgress = false;
    page->SetBurner(Burner.get());
    page->ShowProgress = true;
  }
  // A drive that is not ready is said as such, not as a missing disc.
  if (page->GetDiscInformation()[0] == 0 && !page->GetDiscNotReady().isEmpty()) throw TsbError(page->GetDiscNotReady());
  CheckDiscWritable(page->GetDiscInformation()[0], page->GetDiscType());
  // A finalised disc is written, but "not blank" would not say why it cannot take more.
  if (IsClosedDisc(page->GetDiscType(), page->GetDiscInformation()[1])) throw TsbError(ClosedDiscText());
  CheckDiscBlank(page->GetDiscSpace());
  Burner->DeviceAddress = page->GetDeviceAddress();
  Burner->DiscSpace = page->GetDiscSpace();
  Burner->WriteModes = page->GetWriteModes();
  Burner->DiscType = page->GetDiscType();
  Burner->DeviceName = page->GetDevicePath();
  Burner->TransportType = TransportPage()->GetTransport();
  Burner->OpenDevice();
  Burner->Lock();
}

void TMainForm::ValidateSourcePage() {
  TfrmSourceData* page = SourcePage();
  CheckSourceFits(Burner->DiscSpace.FreeSize, page->SelectedSize());
  const QString path = page->SourcePath();
  CheckSourceGiven(path);
  for (int i = 0; i < Actions->Count(); ++i) {
    auto* video = dynamic_cast<TsbVideoFileAction*>(Actions->Items(i).Action);
    if (video == nullptr) continue;
    TsbVideoBurnOptions options = video->Options;
    options.SourceFolder = options.IsDVD ? path : QString();
    options.SourceFile = options.IsDVD ? QString() : path;
    video->Options = options;
  }
  const std::uint8_t kind = DiscTypePage()->GetDiscKind();
  CheckSourceFileExists(kind, path);
  const QString templateName = VideoTemplateName(kind);
  if (!templateName.isEmpty()) CheckTemplatePresent(QDir(TemplateDirectory).filePath(templateName));
  // The library's own check of the stream or folder, made when it was chosen.
  page->RequireCheckedSource();
  const QString shortage = SectorShortageText(kind, page->SourceCheck().DiscSectors, Burner->DiscSpace.FreeCount);
  if (!shortage.isEmpty()) throw TsbError(shortage);
  DeletePageLog(wpSource);
  TsbLogItem& line = Log->Add();
  line.LogMessage = LoadStr(15509) + QLatin1Char(' ') + path;
  line.ItemType = TsbLogItemType::litInfo;
  line.PageOwner = wpSource;
}

QString TMainForm::CheckMessage(const TsbCheckError& error) {
  QString text = LoadStr(error.Text());
  const qsizetype at = text.indexOf(QStringLiteral("%s"));
  if (at >= 0) text.replace(at, 2, error.Argument());
  return text.isEmpty() ? error.Message() : text;
}

void TMainForm::PageBack(int /*fromIndex*/, int toIndex) {
  if (toIndex == wpDevice) Burner->Release();
}

void TMainForm::ButtonNextClick() {
  // A press that arrives while a change runs (from a wait that serves the
  // windows) belongs to the page being left: it is not taken again.
  if (Navigation->Holding()) return;
  const TPageChange change(*Navigation);
  if (BurnState == 2) {
    QString text = LoadStr(15231);
    if (Burner->BurnSucceeded && !Burner->Cancelled)
      text = LoadStr(15229);
    else if (Burner->Cancelled)
      text = LoadStr(15232);
    else if (Burner->VerifyFailed)
      text += QLatin1Char(' ') + VerifyFailedText();
    // A test that wrote nothing, where a virtual writer's disc is: a path may break after any folder.
    if (const TfrmFinalAction* page = FinalPage(); page != nullptr && !page->CompletionNote().isEmpty())
      text += QLatin1Char(' ') + QString(page->CompletionNote()).replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
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
  } catch (const TsbCheckError& error) {
    ShowErrorBox(this, CheckMessage(error));
  } catch (const TsbError& error) {
    ShowErrorBox(this, error.Message());
  }
}

void TMainForm::ButtonPrevClick() {
  if (Navigation->Holding()) return;
  const TPageChange change(*Navigation);
  const int page = ActivePage();
  if (page == wpTransport) {
    ReplaceWindow(*this, welcome_);
    return;
  }
  const int target = PrevPage(page);
  if (target < 0) return;
  if (page == wpBurn) {
    // Only after a burn that failed on its source: the run is over, and
    // the wizard goes back to choosing.
    if (!backAfterFailure_) return;
    backAfterFailure_ = false;
    BurnState = 0;
  }
  PageBack(page, target);
  DeletePageLog(page);
  DeletePageActions(page);
  pcBurner->setCurrentIndex(target);
}

bool TMainForm::AskCancelBurn() {
  ButtonNext->setEnabled(false);
  if (!Confirm(LoadStr(15501))) return false;
  Burner->Cancel();
  BurnState = 0;
  ButtonClose->setEnabled(false);
  return true;
}

void TMainForm::ButtonCloseClick() {
  // While the run has not returned, every way out goes through the cancel
  // question; leaving the program mid-burn would abandon the drive.
  if (burnRunning_) {
    if (BurnState == 1) AskCancelBurn();
    return;
  }
  switch (BurnState) {
    case 1:
      AskCancelBurn();
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
  if (burnRunning_) {
    // The title bar's close during a burn: ask as Cancel does, and close
    // once the burn has returned.
    event->ignore();
    if (BurnState == 1 && AskCancelBurn()) closeAfterBurn_ = true;
    return;
  }
  if (!CanClose) {
    // A busy page (a scan) refuses, and the program goes on with it.
    event->ignore();
    return;
  }
  event->accept();
  welcome_.close();
}

}  // namespace ondrelle
