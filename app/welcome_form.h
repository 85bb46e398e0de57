#pragma once
// The first window: what the wizard does and which sources it takes. It is
// the program's main window: closing it ends the program.

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <functional>

class QFrame;

namespace ondrelle {

class TfrmWelcome : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmWelcome(QWidget* parent = nullptr);

  QFrame* LeftPanel;
  QLabel* Image2;
  QFrame* Panel1;
  QLabel* WelcomeLabel;
  QLabel* DescriptionLabel;
  QLabel* Label1;
  QLabel* Label2;
  QLabel* Label4;
  QLabel* Label3;
  QLabel* lblPressNext;
  QFrame* DownPanel;
  QPushButton* ButtonPrev;
  QPushButton* ButtonNext;
  QPushButton* ButtonClose;
  QPushButton* btnAbout;

  /// Set by the program: what Next and About open.
  QWidget* WizardForm = nullptr;
  std::function<void()> ShowAbout;

 signals:
  /// The window was closed: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void ButtonNextClick();
  void ButtonCloseClick();
  void btnAboutClick();
};

/// Shows `next` at `current`'s top-left corner, paints it at once and hides `current`.
void ReplaceWindow(QWidget& current, QWidget& next);

}  // namespace ondrelle
