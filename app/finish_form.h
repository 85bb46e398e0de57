#pragma once
// The last window: the burn's result in one line. Finish ends the program.

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "frame/navigation_guard.h"

class QFrame;
class QShowEvent;

namespace ondrelle {

class TfrmFinish : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmFinish(QWidget* parent = nullptr);

  QFrame* Panel1;
  QFrame* LeftPanel;
  QLabel* Image2;
  QLabel* CompleteLabel;
  QLabel* DescriptionLabel;
  QFrame* DownPanel;
  QPushButton* ButtonPrev;
  QPushButton* ButtonNext;
  QPushButton* ButtonClose;
  QPushButton* btnAbout;

  std::function<void()> ShowAbout;
  /// Finish takes no press meant for the wizard's Next, which stood where it stands.
  TNavigationGuard* Navigation;

 signals:
  /// Finish was pressed: the program ends.
  void Finished();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ButtonNextClick();
  void btnAboutClick();
};

}  // namespace ondrelle
