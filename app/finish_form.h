#pragma once
// The last window: the burn's result in one line. Finish ends the program.

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

class QFrame;

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

 signals:
  /// Finish was pressed: the program ends.
  void Finished();

 private:
  void ButtonNextClick();
  void btnAboutClick();
};

}  // namespace ondrelle
