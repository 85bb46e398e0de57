#pragma once
// The wizard base window: the frame (title band, page area, button row),
// the wizard's operation log, action list and burner session, the order in
// which pages are visited, and the navigation hooks a wizard overrides.

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/action_list.h"
#include "engine/burner.h"
#include "frame/navigation_guard.h"
#include "log/operation_log.h"

class QFrame;
class QKeyEvent;

namespace ondrelle {

class TsbDockForm;

class TsbMainForm : public QWidget {
  Q_OBJECT

 public:
  explicit TsbMainForm(QWidget* parent = nullptr);
  ~TsbMainForm() override;

  virtual void BuildPageOrder();
  /// The page after / before `index` in PageOrder; -1 at either end or for
  /// an index not in the order.
  virtual int NextPage(int index) const;
  virtual int PrevPage(int index) const;
  virtual void LockWizard();
  virtual void UnlockWizard();
  /// Appends copies of the page's log lines / actions, stamped with `owner`.
  virtual void ImportPageLog(TsbDockForm* page, std::int32_t owner);
  virtual void ImportPageActions(TsbDockForm* page, std::int32_t owner);
  virtual void UpdateButtons() {}
  virtual void DeletePageLog(std::int32_t owner);
  virtual void DeletePageActions(std::int32_t owner);
  virtual bool ValidatePage() { return true; }
  virtual void PageBack(int /*fromIndex*/, int /*toIndex*/) {}
  virtual void PageForward() {}
  virtual void LoadCaptions() {}
  /// Starts the burning library once; throws TsbError when it refuses.
  virtual void StartLibrary();
  /// Shuts the library down, whether or not it was started.
  virtual void StopLibrary();

  bool CanClose = true;
  bool LibraryStarted = false;
  QStringList PageOrder;
  std::unique_ptr<TsbLog> Log;
  std::unique_ptr<TsbActionList> Actions;
  std::uint8_t BurnState = 0;  ///< 0 idle, 1 burning, 2 burn finished
  std::unique_ptr<TsbBurner> Burner;

  // The frame's controls.
  QFrame* TopPanel;
  QLabel* Image1;
  QLabel* LabelTitle;
  QLabel* LabelSubTitle;
  QFrame* Bevel1;
  QWidget* pnlMain;
  QStackedWidget* pcBurner;
  QFrame* DownPanel;
  QPushButton* ButtonPrev;
  QPushButton* ButtonNext;
  QPushButton* ButtonClose;
  QPushButton* ButtonAbout;
  /// Keeps Next and Back from taking a second press meant for the page
  /// before; a wizard holds it for the length of each page change.
  TNavigationGuard* Navigation;

  /// The host panel of page `index` (a sheet of pcBurner).
  QWidget* PageHost(int index) const { return hosts_.at(static_cast<std::size_t>(index)); }
  int PageCount() const { return static_cast<int>(hosts_.size()); }
  int ActivePage() const { return pcBurner->currentIndex(); }

 protected:
  /// Adds one sheet with its host panel; sheets are numbered in order of adding.
  QWidget* AddPageSheet(const QString& sheetName, const QString& hostName);
  /// Enter presses the focused button, else Next; Escape presses Cancel.
  void keyPressEvent(QKeyEvent* event) override;

  /// How the library is started and stopped; tests put a fake here.
  std::function<void()> startLibrary_;
  std::function<void()> stopLibrary_;

 private:
  void BuildFrame();

  std::vector<QWidget*> hosts_;
};

}  // namespace ondrelle
