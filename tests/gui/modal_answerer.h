#pragma once
// Answers the message boxes a window opens while a test drives it: each
// box's text is recorded and the box is closed with the chosen button.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

class ModalAnswerer {
 public:
  explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      texts_.append(box->text());
      QAbstractButton* button = box->button(answer_);
      if (button != nullptr)
        button->click();
      else
        box->close();
    });
    timer_.start();
  }

  const QStringList& Texts() const { return texts_; }

 private:
  QMessageBox::StandardButton answer_;
  QTimer timer_;
  QStringList texts_;
};
