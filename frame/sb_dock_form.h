#pragma once
// The base of every wizard page: an ordinary window docked into a host
// panel of the wizard. A page receives the burner session, may say that it
// is busy, and may hand the wizard log lines and actions of its own.

#include <QPointer>
#include <QWidget>
#include <functional>

namespace ondrelle {

class TsbActionList;
class TsbBurner;
class TsbLog;

class TsbDockForm : public QWidget {
  Q_OBJECT

 public:
  using NotifyEvent = std::function<void(TsbDockForm& sender)>;

  explicit TsbDockForm(QWidget* parent = nullptr);
  ~TsbDockForm() override;

  /// The page starts a long operation: fires OnBeginBusy.
  virtual void BeginBusy();
  /// The page ends it: fires OnEndBusy.
  virtual void EndBusy();
  virtual void UpdateData() {}
  /// Stores the session, then UpdateData. Pages override it to fill their
  /// controls from the session, calling this first.
  virtual void SetBurner(TsbBurner* burner);
  /// Docks the page into `host` at (5, 5), its size following the host's.
  void DockTo(QWidget* host);
  /// The page's own log lines; none by default.
  virtual TsbLog* GetLog() { return nullptr; }
  /// The page's own burn actions; none by default.
  virtual TsbActionList* GetActions() { return nullptr; }
  /// Gives the keyboard focus to the control the page is about, so the
  /// first key pressed on arrival reaches it; by default the first control
  /// that takes focus by Tab.
  virtual void FocusMainControl();

  TsbBurner* Burner = nullptr;  ///< not owned
  NotifyEvent OnBeginBusy;
  NotifyEvent OnEndBusy;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FollowHost();

  QPointer<QWidget> host_;
};

}  // namespace ondrelle
