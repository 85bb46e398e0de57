#pragma once
// Keeps a window's Next and Back from being pressed twice for one intent.
// A page change replaces the page under the pointer, and the buttons stay
// where they were: the second click of a double click, or a click queued
// while the change ran, would press the next page's Next, which on the
// summary starts a burn the user never confirmed. From the start of a
// change until the new page has been shown for the system's double-click
// interval, the guarded buttons take no press, by mouse, key or mnemonic.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <vector>

class QAbstractButton;

namespace ondrelle {

class TNavigationGuard : public QObject {
  Q_OBJECT

 public:
  explicit TNavigationGuard(QObject* parent = nullptr);

  /// Refuses the user's presses of `button` while the guard holds or settles.
  void Watch(QAbstractButton* button);
  /// A change starts: presses are refused until Settle.
  void Hold();
  /// The change has ended and its page is shown: presses are refused for
  /// one double-click interval more.
  void Settle();
  /// True while a change runs (between Hold and Settle).
  bool Holding() const { return holding_; }
  /// True while a press would be refused.
  bool Refusing() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::vector<QPointer<QAbstractButton>> buttons_;
  bool holding_ = false;
  QElapsedTimer settled_;
};

/// Holds `guard` for the length of a scope: one page change.
class TPageChange {
 public:
  explicit TPageChange(TNavigationGuard& guard) : guard_(guard) { guard_.Hold(); }
  ~TPageChange() { guard_.Settle(); }
  TPageChange(const TPageChange&) = delete;
  TPageChange& operator=(const TPageChange&) = delete;

 private:
  TNavigationGuard& guard_;
};

}  // namespace ondrelle
