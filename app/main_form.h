#pragma once
// The video wizard window: the order of its pages, their titles, the
// Back / Next / Cancel flow over them, and the burn on the last page.
// The pages of choices plug in through PreparePage, ValidatePage and
// CollectPageContributions.

#include <QPointer>
#include <array>
#include <functional>

#include "frame/sb_dock_form.h"
#include "frame/sb_main_form.h"

namespace ondrelle {

class TfrmAbout;
class TfrmBurnMode;
class TfrmBurnOptions;
class TfrmFinalAction;
class TfrmFinish;
class TfrmOptionsSummary;
class TfrmSelectDevice;
class TfrmSourceData;
class TfrmVideoOptions;
class TfrmWelcome;
class TSelectTransportForm;
class TsbCheckError;

/// Page indices: the sheet of each page in the page control.
enum TWizardPage : int {
  wpTransport = 0,
  wpBurn = 1,
  wpDevice = 2,
  wpUnused = 3,
  wpDiscType = 4,
  wpSource = 5,
  wpBurnMode = 6,
  wpBurnOptions = 7,
  wpSummary = 8,
};

class TMainForm : public TsbMainForm {
  Q_OBJECT

 public:
  TMainForm(TfrmWelcome& welcome, TfrmAbout& about, TfrmFinish& finish, QWidget* parent = nullptr);
  ~TMainForm() override;

  void BuildPageOrder() override;
  void LockWizard() override;
  void UpdateButtons() override;
  void LoadCaptions() override;
  /// The checks of the page being left; throws TsbError with the first refusal.
  bool ValidatePage() override;
  /// Back to the device page unlocks the tray.
  void PageBack(int fromIndex, int toIndex) override;
  virtual void SetCancelEnabled(bool enabled);

  void PageChanged();
  void ButtonNextClick();
  void ButtonPrevClick();
  void ButtonCloseClick();
  void ButtonAboutClick();

  /// The page window of `index`, none before its first visit.
  TsbDockForm* Page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
  TfrmFinalAction* FinalPage() const;
  TSelectTransportForm* TransportPage() const;
  TfrmSelectDevice* DevicePage() const;
  TfrmVideoOptions* DiscTypePage() const;
  TfrmSourceData* SourcePage() const;
  TfrmBurnMode* BurnModePage() const;
  TfrmBurnOptions* BurnOptionsPage() const;
  TfrmOptionsSummary* SummaryPage() const;

  /// Where the Video CD templates are looked for: beside the program.
  QString TemplateDirectory;
  /// True from the start of the burn page's run until it has returned.
  bool BurnRunning() const { return burnRunning_; }

  /// Asks a yes/no question; tests answer it themselves.
  std::function<bool(const QString&)> Confirm;

 protected:
  /// Creates (on first use), docks, sets up and shows the page about to be entered.
  virtual void PreparePage(int index);
  /// Copies the lines and actions of the page being left into the wizard's lists.
  virtual void CollectPageContributions(int index);
  /// Creates and docks a page window into its host; the wizard keeps it.
  void AdoptPage(int index, TsbDockForm* page);

  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void ShowPageTitles(int index);
  /// Gives the keyboard to the main control of page `index`, if it exists.
  void FocusPage(int index);
  /// Starts the burn; BurnEnded follows when the burning page says it has ended.
  void RunBurn();
  void BurnEnded();
  /// The question of Cancel during a burn; true when the user said Yes.
  bool AskCancelBurn();
  void ValidateDevicePage();
  void ValidateSourcePage();
  void FillSummary();
  /// A refusal's text in the user's language.
  static QString CheckMessage(const TsbCheckError& error);

  TfrmWelcome& welcome_;
  TfrmAbout& about_;
  TfrmFinish& finish_;
  std::array<QPointer<TsbDockForm>, 9> pages_;
  bool burnRunning_ = false;
  bool closeAfterBurn_ = false;
  /// The last burn failed on its source before writing: Back may lead to it.
  bool backAfterFailure_ = false;
};

}  // namespace ondrelle
