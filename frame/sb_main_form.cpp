#include "frame/sb_main_form.h"

#include <QFrame>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "devices/library_lifetime.h"
#include "frame/button_row.h"
#include "frame/error_box.h"
#include "frame/sb_dock_form.h"

namespace ondrelle {

namespace {

constexpr int kTopHeight = 60;

}  // namespace

TsbMainForm::TsbMainForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      Log(std::make_unique<TsbLog>()),
      Actions(std::make_unique<TsbActionList>()),
      Burner(std::make_unique<TsbBurner>([this](const QString& message) { ShowErrorBox(this, message); })),
      startLibrary_([] { ondrelle::StartLibrary(); }),
      stopLibrary_([] { ondrelle::ShutDownLibrary(); }) {
  BuildFrame();
}

TsbMainForm::~TsbMainForm() {
  Burner.reset();
  Actions.reset();
  Log.reset();
  PageOrder.clear();
  StopLibrary();
}

void TsbMainForm::BuildFrame() {
  setFixedSize(kWizardWidth, kWizardHeight);

  TopPanel = new QFrame(this);
  TopPanel->setObjectName(QStringLiteral("TopPanel"));
  TopPanel->setGeometry(0, 0, kWizardWidth, kTopHeight);
  TopPanel->setAutoFillBackground(true);
  QPalette window = TopPanel->palette();
  window.setColor(QPalette::Window, window.color(QPalette::Base));
  TopPanel->setPalette(window);
  Image1 = new QLabel(TopPanel);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(kWizardWidth - 48 - 8, 6, 48, 48);
  LabelTitle = new QLabel(TopPanel);
  LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
  QFont bold = LabelTitle->font();
  bold.setBold(true);
  LabelTitle->setFont(bold);
  LabelTitle->setGeometry(24, 8, Image1->x() - 24 - 4, 16);
  LabelSubTitle = new QLabel(TopPanel);
  LabelSubTitle->setObjectName(QStringLiteral("LabelSubTitle"));
  LabelSubTitle->setGeometry(40, 24, Image1->x() - 40 - 4, 30);
  LabelSubTitle->setWordWrap(true);
  LabelSubTitle->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Bevel1 = new QFrame(TopPanel);
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(0, kTopHeight - 2, kWizardWidth, 2);
  Bevel1->setObjectName(QStringLiteral("Bevel1"));

  pnlMain = new QWidget(this);
  pnlMain->setObjectName(QStringLiteral("pnlMain"));
  pnlMain->setGeometry(0, kTopHeight, kWizardWidth, kWizardHeight - kTopHeight - kButtonRowHeight);
  pcBurner = new QStackedWidget(pnlMain);
  pcBurner->setObjectName(QStringLiteral("pcBurner"));
  auto* mainLayout = new QVBoxLayout(pnlMain);
  mainLayout->setContentsMargins(0, 0, 0, 0);
  mainLayout->addWidget(pcBurner);

  const TButtonRow row(this, kWizardHeight, "ButtonAbout");
  DownPanel = row.DownPanel;
  ButtonPrev = row.ButtonPrev;
  ButtonNext = row.ButtonNext;
  ButtonClose = row.ButtonClose;
  ButtonAbout = row.About;
  ButtonNext->setDefault(true);
  ButtonNext->setAutoDefault(true);
  ButtonNext->setFocus();
  Navigation = new TNavigationGuard(this);
  Navigation->Watch(ButtonNext);
  Navigation->Watch(ButtonPrev);
}

void TsbMainForm::keyPressEvent(QKeyEvent* event) {
  // Keys the focused control left unused arrive here. A held key repeats
  // without meaning to: only its first press counts.
  const auto press = [this, event](QPushButton* button) {
    event->accept();
    if (event->isAutoRepeat() || button == nullptr || !button->isEnabled() || !button->isVisible()) return;
    if ((button == ButtonNext || button == ButtonPrev) && Navigation->Refusing()) return;
    button->click();
  };
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
      auto* focused = qobject_cast<QPushButton*>(focusWidget());
      press(focused != nullptr ? focused : ButtonNext);
      return;
    }
    case Qt::Key_Escape:
      press(ButtonClose);
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

QWidget* TsbMainForm::AddPageSheet(const QString& sheetName, const QString& hostName) {
  auto* sheet = new QWidget(pcBurner);
  sheet->setObjectName(sheetName);
  auto* host = new QWidget(sheet);
  host->setObjectName(hostName);
  auto* layout = new QVBoxLayout(sheet);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(host);
  pcBurner->addWidget(sheet);
  hosts_.push_back(host);
  return host;
}

void TsbMainForm::BuildPageOrder() {
  PageOrder.clear();
}

int TsbMainForm::NextPage(int index) const {
  const qsizetype at = PageOrder.indexOf(QString::number(index));
  if (at < 0 || at == PageOrder.size() - 1) return -1;
  return PageOrder.at(at + 1).toInt();
}

int TsbMainForm::PrevPage(int index) const {
  const qsizetype at = PageOrder.indexOf(QString::number(index));
  if (at <= 0) return -1;
  return PageOrder.at(at - 1).toInt();
}

void TsbMainForm::LockWizard() {
  CanClose = false;
}

void TsbMainForm::UnlockWizard() {
  UpdateButtons();
  CanClose = true;
}

void TsbMainForm::ImportPageLog(TsbDockForm* page, std::int32_t owner) {
  if (page == nullptr || page->GetLog() == nullptr) return;
  const TsbLog& source = *page->GetLog();
  for (int i = 0; i < source.Count(); ++i) {
    TsbLogItem& item = Log->Add();
    item = source.Items(i);
    item.PageOwner = owner;
  }
}

void TsbMainForm::ImportPageActions(TsbDockForm* page, std::int32_t owner) {
  if (page == nullptr || page->GetActions() == nullptr) return;
  TsbActionList& source = *page->GetActions();
  for (int i = 0; i < source.Count(); ++i) {
    TsbActionItem& item = Actions->Add();
    item.Assign(source.Items(i));
    item.PageOwner = owner;
  }
}

void TsbMainForm::DeletePageLog(std::int32_t owner) {
  Log->DeleteFromPage(owner);
}

void TsbMainForm::DeletePageActions(std::int32_t owner) {
  Actions->DeleteFromPage(owner);
}

void TsbMainForm::StartLibrary() {
  if (LibraryStarted) return;
  startLibrary_();
  LibraryStarted = true;
}

void TsbMainForm::StopLibrary() {
  try {
    if (stopLibrary_) stopLibrary_();
  } catch (...) {
    // Shutting down never reports a failure.
  }
  LibraryStarted = false;
}

}  // namespace ondrelle
