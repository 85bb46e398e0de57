#pragma once
// The whole program on virtual writers of a test's choosing, the wizard
// shown, active and on its transport page: Video CD templates, scratch files
// and recordings in folders of the test's own, the fixtures' real sources,
// and the steps a user takes from page to page. Next and Back are pressed
// either with the mouse, after a wait that outlasts the wizard's guard
// against doubled presses, or by the buttons' own click, which the guard
// does not see, for tests of what the pages check rather than of the guard.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <cstdlib>
#include <functional>

#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "engine/video_burn_options.h"
#include "modal_answerer.h"
#include "pages/final_action_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"

class WizardDriver {
 public:
  /// How Next and Back (and the welcome window's Next) are pressed.
  enum class Clicks {
    Mouse,         ///< a mouse click once the guard has let go, as a user clicks
    Programmatic,  ///< the button's own click, at once and past the guard
  };

  explicit WizardDriver(const char* writers, Clicks clicks = Clicks::Mouse)
      : clicks_(clicks),
        program_((SetWriters(writers), folder_.filePath(QStringLiteral("lame.dll")))),
        wizard(program_.Wizard()) {
    wizard.TemplateDirectory = templates_.path();
    for (const char* name : {"Emberline_VideoCD.iso", "Emberline_SuperVideoCD.iso"}) MakeFile(TemplatePath(name), 2048);
    program_.Start();
    // The welcome window has no guard: nothing to wait for.
    if (clicks_ == Clicks::Programmatic)
      program_.Welcome().ButtonNext->click();
    else
      QTest::mouseClick(program_.Welcome().ButtonNext, Qt::LeftButton);
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

  /// Presses Next; the texts of the message boxes it raised, joined by '|'.
  /// A burn it starts runs on the job's worker and is served, as the
  /// program's event loop would serve it, to its end.
  QString Next() {
    ModalAnswerer boxes;
    Press(wizard.ButtonNext);
    (void)QTest::qWaitFor([this] { return !wizard.BurnRunning(); }, 120000);
    return boxes.Texts().join(QLatin1Char('|'));
  }
  /// Presses Back.
  void Back() {
    Press(wizard.ButtonPrev);
  }

  /// From the transport page to the source page with `kind` chosen.
  void ToSourcePage(int kind) {
    ASSERT_EQ(Next(), QString());  // transport
    ASSERT_EQ(wizard.ActivePage(), ondrelle::wpDevice);
    ASSERT_EQ(Next(), QString());  // device
    wizard.DiscTypePage()->cbVideoDiscType->setCurrentIndex(kind);
    ASSERT_EQ(Next(), QString());  // disc type
    ASSERT_EQ(wizard.ActivePage(), ondrelle::wpSource);
  }
  /// Chooses `path` on the source page as a dropped or typed path is, and
  /// waits for its check.
  void Choose(const QString& path) {
    ondrelle::TfrmSourceData* page = wizard.SourcePage();
    page->SetSourcePath(path);
    ASSERT_TRUE(QTest::qWaitFor([page] { return !page->Checking(); }, 30000)) << "the source check did not end";
  }
  /// Browse clicked with the mouse, `path` picked in the picker, and the
  /// check waited for.
  void Browse(const QString& path) {
    ondrelle::TfrmSourceData* page = wizard.SourcePage();
    page->ChooseFile = [path](const QString&) { return path; };
    page->ChooseFolder = [path] { return path; };
    QTest::mouseClick(page->btnBrowse, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([page] { return !page->Checking(); }, 30000)) << "the source check did not end";
  }
  /// From the source page, its source chosen, over the mode and options
  /// pages to the summary; `onModePage` runs while the mode page is shown.
  void SourceToSummary(const std::function<void()>& onModePage = {}) {
    ASSERT_EQ(Next(), QString());
    ASSERT_EQ(wizard.ActivePage(), ondrelle::wpBurnMode);
    if (onModePage) {
      ASSERT_NO_FATAL_FAILURE(onModePage());
    }
    ASSERT_EQ(Next(), QString());
    ASSERT_EQ(wizard.ActivePage(), ondrelle::wpBurnOptions);
    ASSERT_EQ(Next(), QString());
    ASSERT_EQ(wizard.ActivePage(), ondrelle::wpSummary);
  }
  /// From the transport page to the summary of a disc of `kind` from `source`.
  void ToSummary(int kind, const QString& source, const std::function<void()>& onModePage = {}) {
    ASSERT_NO_FATAL_FAILURE(ToSourcePage(kind));
    ASSERT_NO_FATAL_FAILURE(Choose(source));
    ASSERT_NO_FATAL_FAILURE(SourceToSummary(onModePage));
  }

  /// The rows of the burning page's log, as shown.
  QStringList BurnLog() const {
    QStringList rows;
    const QTreeWidget* list = wizard.FinalPage()->lvLog;
    for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
    return rows;
  }
  /// The first file the virtual writers recorded that matches `pattern`; empty when none did.
  QString Recorded(const QString& pattern) const {
    QDirIterator files(virtual_.path(), {pattern}, QDir::Files, QDirIterator::Subdirectories);
    return files.hasNext() ? files.next() : QString();
  }
  /// Whether the virtual writers recorded no disc at all.
  bool NothingWritten() const {
    return Recorded(QStringLiteral("*.bin")).isEmpty() && Recorded(QStringLiteral("*.cue")).isEmpty() &&
           Recorded(QStringLiteral("*.iso")).isEmpty();
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

  /// A file of `size` bytes at `path`.
  static void MakeFile(const QString& path, qint64 size) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(size));
  }
  /// Where the wizard looks for the template `name`.
  QString TemplatePath(const char* name) const {
    return QDir(templates_.path()).filePath(QString::fromLatin1(name));
  }
  /// A path in the test's scratch folder.
  QString FilePath(const QString& name) const {
    return folder_.filePath(name);
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
  void Press(QAbstractButton* button) {
    if (clicks_ == Clicks::Programmatic) {
      button->click();
      return;
    }
    WaitPastGuard();
    QTest::mouseClick(button, Qt::LeftButton);
  }

  Clicks clicks_;
  QTemporaryDir folder_;
  QTemporaryDir templates_;
  QTemporaryDir virtual_;
  ondrelle::TOndrelleProgram program_;
  bool active_ = false;

 public:
  ondrelle::TMainForm& wizard;
};
