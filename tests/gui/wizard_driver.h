#pragma once
// The whole program on virtual writers of a test's choosing, the wizard
// shown, active and on its transport page, for tests that drive it with real
// mouse and key events: Video CD templates and recordings in folders of the
// test's own, the fixtures' real sources, and waits that outlast the
// wizard's guard against doubled presses.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "engine/video_burn_options.h"

class WizardDriver {
 public:
  explicit WizardDriver(const char* writers)
      : program_((SetWriters(writers), folder_.filePath(QStringLiteral("lame.dll")))), wizard(program_.Wizard()) {
    wizard.TemplateDirectory = templates_.path();
    for (const char* name : {"Emberline_VideoCD.iso", "Emberline_SuperVideoCD.iso"}) {
      QFile file(QDir(templates_.path()).filePath(QString::fromLatin1(name)));
      if (file.open(QIODevice::WriteOnly)) file.resize(2048);
    }
    program_.Start();
    program_.Welcome().ButtonNext->click();
    wizard.activateWindow();
    active_ = QTest::qWaitForWindowActive(&wizard);
  }

  /// A real source of `kind` from the build's fixtures; empty without them.
  static QString Source(int kind) {
    QString path;
#if defined(ONDRELLE_VIDEO_FIXTURES) && defined(ONDRELLE_DVD_FIXTURES_DIR)
    path = kind == ondrelle::vkDVDVideo  ? QStringLiteral(ONDRELLE_DVD_FIXTURES_DIR "/one-title/VIDEO_TS/")
           : kind == ondrelle::vkVideoCD ? QStringLiteral(ONDRELLE_VIDEO_FIXTURES "/vcd-pal.mpg")
                                         : QStringLiteral(ONDRELLE_VIDEO_FIXTURES "/svcd-pal.mpg");
#endif
    return QFileInfo::exists(path) ? path : QString();
  }

  /// The system's double-click interval, the time the guard holds after a change.
  static int Interval() {
    return QGuiApplication::styleHints()->mouseDoubleClickInterval();
  }
  /// Waits until a press made now is a press of its own again.
  static void WaitPastGuard() {
    QTest::qWait(Interval() + 60);
  }
  /// Lets queued events run without reaching the end of the guard.
  static void Settle() {
    QTest::qWait(20);
  }

  /// The widget that has the keyboard: where a user's key press goes.
  QWidget* Keyboard() const {
    return QApplication::focusWidget();
  }
  /// A key pressed and released where the user's keys go now; without a
  /// widget that has the keyboard, nothing receives it.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    if (QWidget* target = Keyboard()) QTest::keyClick(target, key, modifiers);
  }

  bool Active() const {
    return active_;
  }
  ondrelle::TOndrelleProgram& Program() {
    return program_;
  }
  QString VirtualDir() const {
    return virtual_.path();
  }

 private:
  const char* SetWriters(const char* writers) {
    ::setenv("ONDRELLE_VIRTUAL_DIR", virtual_.path().toLocal8Bit().constData(), 1);
    ::setenv("ONDRELLE_VIRTUAL_WRITERS", writers, 1);
    return writers;
  }

  QTemporaryDir folder_;
  QTemporaryDir templates_;
  QTemporaryDir virtual_;
  ondrelle::TOndrelleProgram program_;
  bool active_ = false;

 public:
  ondrelle::TMainForm& wizard;
};
