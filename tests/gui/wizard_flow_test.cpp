// The wizard driven as a user drives it, with real mouse and key events on
// the offscreen windows: a double click, two quick clicks or a held Enter
// move one page only, so the burn starts only from a summary that was on
// the screen; every page takes the keyboard on arrival; Enter, Escape and
// the mnemonics press the buttons they name.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QRadioButton>
#include <QSet>
#include <QSignalSpy>
#include <QTimer>
#include <functional>

#include "engine/burner.h"
#include "modal_answerer.h"
#include "pages/burn_mode_form.h"
#include "pages/burn_options_form.h"
#include "pages/final_action_form.h"
#include "pages/operation_progress_form.h"
#include "pages/options_summary_form.h"
#include "pages/select_device_form.h"
#include "pages/select_transport_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"
#include "wizard_driver.h"

using namespace ondrelle;

namespace {

/// How the user's two presses of one button arrive.
enum class Presses { DoubleClick, Clicks90, Clicks250 };

void PressTwice(QPushButton* button, Presses how) {
  switch (how) {
    case Presses::DoubleClick:
      // A double click as the window system delivers it: press, release,
      // press, double click, release (QTest's double click sends no release).
      QTest::mouseClick(button, Qt::LeftButton);
      QTest::mouseDClick(button, Qt::LeftButton);
      QTest::mouseRelease(button, Qt::LeftButton);
      break;
    case Presses::Clicks90:
    case Presses::Clicks250:
      QTest::mouseClick(button, Qt::LeftButton);
      QTest::qWait(how == Presses::Clicks90 ? 90 : 250);
      QTest::mouseClick(button, Qt::LeftButton);
      break;
  }
  WizardDriver::Settle();
}

/// What a page must hold for its Next to pass: a source on the source page.
void FillPage(WizardDriver& run, int kind) {
  // The page takes its Next once its own check of the source has ended.
  if (run.wizard.ActivePage() == wpSource) run.Choose(WizardDriver::Source(kind));
}

/// From the transport page to `target` by the buttons' own click, then a
/// wait until the page takes presses again.
void WalkTo(WizardDriver& run, int target, int kind = vkVideoCD) {
  while (run.wizard.ActivePage() != target) {
    const int before = run.wizard.ActivePage();
    FillPage(run, kind);
    run.wizard.ButtonNext->click();
    ASSERT_NE(run.wizard.ActivePage(), before) << "stuck on page " << before;
  }
  WizardDriver::WaitPastGuard();
}

/// The mnemonic letter of a control's text, or 0.
QChar Mnemonic(const QString& text) {
  const QString key = QKeySequence::mnemonic(text).toString();
  return key.isEmpty() ? QChar() : key.back().toUpper();
}

/// Every letter a window answers to with Alt: its buttons' and its labels'
/// (a label's goes to its buddy). Reports a button that has none, a letter
/// taken twice, and a button whose text has an '&' but no letter.
QStringList MnemonicFaults(const QList<QWidget*>& parts) {
  QStringList faults;
  QHash<QChar, QString> owners;
  QSet<QWidget*> reachedByLabel;
  const auto take = [&](QChar letter, const QString& owner) {
    if (owners.contains(letter)) faults << QStringLiteral("%1 and %2 share %3").arg(owners[letter], owner, letter);
    owners.insert(letter, owner);
  };
  for (QWidget* part : parts) {
    for (QLabel* label : part->findChildren<QLabel*>()) {
      const QChar letter = Mnemonic(label->text());
      if (letter.isNull() || !label->isVisibleTo(part)) continue;
      if (label->buddy() == nullptr) faults << label->objectName() + QStringLiteral(": a letter but no buddy");
      reachedByLabel.insert(label->buddy());
      take(letter, label->objectName());
    }
  }
  for (QWidget* part : parts) {
    for (QAbstractButton* button : part->findChildren<QAbstractButton*>()) {
      if (!button->isVisibleTo(part->window())) continue;
      const QChar letter = Mnemonic(button->text());
      if (letter.isNull()) {
        if (!reachedByLabel.contains(button)) faults << button->objectName() + QStringLiteral(": no mnemonic");
        continue;
      }
      take(letter, button->objectName());
    }
  }
  return faults;
}

}  // namespace

class DoubledPresses : public ::testing::TestWithParam<Presses> {};

// On every page from the transport page to the summary, two presses of
// Next in quick succession move one page; a press after the guard moves on.
TEST_P(DoubledPresses, MoveOnePageOnEveryPageAndNeverStartTheBurn) {
  if (WizardDriver::Source(vkVideoCD).isEmpty()) GTEST_SKIP() << "no test media in this build";
  WizardDriver run("cd-r");
  ASSERT_TRUE(run.Active());
  ModalAnswerer boxes;
  WizardDriver::WaitPastGuard();
  while (run.wizard.ActivePage() != wpSummary) {
    const int before = run.wizard.ActivePage();
    FillPage(run, vkVideoCD);
    PressTwice(run.wizard.ButtonNext, GetParam());
    ASSERT_EQ(run.wizard.ActivePage(), run.wizard.NextPage(before)) << "from page " << before;
    WizardDriver::WaitPastGuard();
  }
  EXPECT_EQ(boxes.Texts(), QStringList());
  EXPECT_EQ(run.wizard.BurnState, 0);
  // Back is guarded the same way: two presses go back one page.
  PressTwice(run.wizard.ButtonPrev, GetParam());
  EXPECT_EQ(run.wizard.ActivePage(), wpBurnOptions);
}

INSTANTIATE_TEST_SUITE_P(ByMouse, DoubledPresses,
                         ::testing::Values(Presses::DoubleClick, Presses::Clicks90, Presses::Clicks250),
                         [](const ::testing::TestParamInfo<Presses>& how) {
                           return std::string(how.param == Presses::DoubleClick ? "DoubleClick"
                                              : how.param == Presses::Clicks90  ? "ClicksAt90ms"
                                                                                : "ClicksAt250ms");
                         });

/// A click on `first`, then, as quickly as a double click's second, one on
/// `second`: the control that now stands under the pointer.
void ClickThenClick(QPushButton* first, QPushButton* second) {
  QTest::mouseClick(first, Qt::LeftButton);
  QTest::qWait(90);
  QTest::mouseClick(second, Qt::LeftButton);
  WizardDriver::Settle();
}

// The welcome window's Next and the completion window's Finish stand where
// the wizard's Next stands: a double click on one does not press the other.
TEST(WizardFlow, ADoubleClickAcrossWindowsPressesOnlyTheFirst) {
  if (WizardDriver::Source(vkVideoCD).isEmpty()) GTEST_SKIP() << "no test media in this build";
  WizardDriver run("cd-r");
  TfrmWelcome& welcome = run.Program().Welcome();
  TfrmFinish& finish = run.Program().Finish();
  ASSERT_EQ(welcome.ButtonNext->geometry(), run.wizard.ButtonNext->geometry());
  ASSERT_EQ(finish.ButtonNext->geometry(), run.wizard.ButtonNext->geometry());
  run.wizard.ButtonPrev->click();
  ASSERT_TRUE(welcome.isVisible());
  WizardDriver::WaitPastGuard();
  ClickThenClick(welcome.ButtonNext, run.wizard.ButtonNext);
  ASSERT_TRUE(run.wizard.isVisible());
  EXPECT_EQ(run.wizard.ActivePage(), wpTransport);
  // The same by two Enters: the welcome window's Next has the keyboard.
  run.wizard.ButtonPrev->click();
  welcome.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&welcome));
  run.Key(Qt::Key_Return);
  ASSERT_TRUE(run.wizard.isVisible());
  QTest::qWait(90);
  run.Key(Qt::Key_Return);
  WizardDriver::Settle();
  EXPECT_EQ(run.wizard.ActivePage(), wpTransport);

  // The summary's Next starts the burn; the second click is not the burn
  // page's Next, which the finished burn has enabled.
  WalkTo(run, wpSummary);
  ModalAnswerer boxes;
  PressTwice(run.wizard.ButtonNext, Presses::DoubleClick);
  ASSERT_EQ(run.wizard.ActivePage(), wpBurn);
  ASSERT_TRUE(QTest::qWaitFor([&run] { return !run.wizard.BurnRunning(); }, 120000));
  EXPECT_EQ(run.wizard.BurnState, 2);
  EXPECT_TRUE(run.wizard.isVisible());
  EXPECT_FALSE(finish.isVisible());

  // The burn page's Next opens the completion window; the second click
  // leaves it there instead of ending the program.
  QSignalSpy ended(&run.Program(), &TOndrelleProgram::Ended);
  WizardDriver::WaitPastGuard();
  ClickThenClick(run.wizard.ButtonNext, finish.ButtonNext);
  EXPECT_TRUE(finish.isVisible());
  EXPECT_EQ(ended.count(), 0);
  EXPECT_EQ(boxes.Texts(), QStringList());
  WizardDriver::WaitPastGuard();
  QTest::mouseClick(finish.ButtonNext, Qt::LeftButton);
  EXPECT_EQ(ended.count(), 1);
}

// Each page takes the keyboard on arrival: its first key press reaches the
// page's control, and Enter there presses Next, in the device list and on
// the summary too. After the burn Enter opens the completion window.
TEST(WizardFlow, EveryPageTakesTheKeyboardAndEnterPressesNext) {
  if (WizardDriver::Source(vkVideoCD).isEmpty()) GTEST_SKIP() << "no test media in this build";
  WizardDriver run("cd-r;dvd+r");
  ASSERT_TRUE(run.Active());
  ModalAnswerer boxes;
  TMainForm& wizard = run.wizard;
  const auto enter = [&run](int expected) {
    WizardDriver::WaitPastGuard();
    run.Key(Qt::Key_Return);
    WizardDriver::Settle();
    EXPECT_EQ(run.wizard.ActivePage(), expected);
  };
  WizardDriver::WaitPastGuard();
  EXPECT_EQ(run.Keyboard(), wizard.TransportPage()->rbSpti);
  enter(wpDevice);

  TfrmSelectDevice& devices = *wizard.DevicePage();
  ASSERT_EQ(run.Keyboard(), devices.lvDevices);
  run.Key(Qt::Key_Down);
  EXPECT_EQ(devices.lvDevices->currentItem(), devices.lvDevices->topLevelItem(1));
  run.Key(Qt::Key_Up);
  EXPECT_EQ(devices.lvDevices->currentItem(), devices.lvDevices->topLevelItem(0));
  enter(wpDiscType);

  QComboBox* kinds = wizard.DiscTypePage()->cbVideoDiscType;
  ASSERT_EQ(run.Keyboard(), kinds);
  run.Key(Qt::Key_Down);
  EXPECT_EQ(kinds->currentIndex(), vkSuperVideoCD);
  run.Key(Qt::Key_Up);
  EXPECT_EQ(kinds->currentIndex(), vkVideoCD);
  enter(wpSource);

  EXPECT_EQ(run.Keyboard(), wizard.SourcePage()->edSourceData);
  FillPage(run, vkVideoCD);
  enter(wpBurnMode);
  EXPECT_EQ(run.Keyboard(), wizard.BurnModePage()->cmbModes);
  enter(wpBurnOptions);
  EXPECT_EQ(run.Keyboard(), wizard.BurnOptionsPage()->cmbSpeed);
  enter(wpSummary);
  EXPECT_EQ(run.Keyboard(), wizard.SummaryPage()->edtSummary);
  EXPECT_EQ(wizard.BurnState, 0);

  // Back by key, and the page before takes the keyboard again.
  WizardDriver::WaitPastGuard();
  run.Key(Qt::Key_B, Qt::AltModifier);
  QTest::qWait(150);  // a mnemonic's press lands after its button's short animation
  EXPECT_EQ(wizard.ActivePage(), wpBurnOptions);
  EXPECT_EQ(run.Keyboard(), wizard.BurnOptionsPage()->cmbSpeed);
  enter(wpSummary);

  WizardDriver::WaitPastGuard();
  QWidget* focusDuringBurn = nullptr;
  QTimer::singleShot(50, [&] { focusDuringBurn = run.Keyboard(); });
  run.Key(Qt::Key_Return);  // the burn starts; its end comes through the event loop
  ASSERT_EQ(wizard.ActivePage(), wpBurn);
  ASSERT_TRUE(QTest::qWaitFor([&wizard] { return !wizard.BurnRunning(); }, 120000));
  EXPECT_EQ(focusDuringBurn, wizard.FinalPage()->lvLog);
  EXPECT_EQ(wizard.BurnState, 2);
  EXPECT_EQ(run.Keyboard(), wizard.ButtonNext);
  EXPECT_TRUE(wizard.Burner->BurnSucceeded);
  WizardDriver::WaitPastGuard();
  run.Key(Qt::Key_Return);
  EXPECT_TRUE(run.Program().Finish().isVisible());
  EXPECT_EQ(boxes.Texts(), QStringList());
}

// A held Enter repeats without meaning to, and a second Enter within the
// double-click interval is the same intent: neither passes the summary.
TEST(WizardFlow, AHeldOrDoubledEnterStopsAtTheSummary) {
  if (WizardDriver::Source(vkVideoCD).isEmpty()) GTEST_SKIP() << "no test media in this build";
  WizardDriver run("cd-r");
  ASSERT_TRUE(run.Active());
  WalkTo(run, wpBurnOptions);
  run.Key(Qt::Key_Return);
  ASSERT_EQ(run.wizard.ActivePage(), wpSummary);
  ASSERT_NE(run.Keyboard(), nullptr);
  for (int i = 0; i < 20; ++i) {
    QKeyEvent held(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), true);
    QApplication::sendEvent(run.Keyboard(), &held);
    QTest::qWait(15);
  }
  run.Key(Qt::Key_Return);
  run.Key(Qt::Key_N, Qt::AltModifier);
  WizardDriver::Settle();
  EXPECT_EQ(run.wizard.ActivePage(), wpSummary);
  EXPECT_EQ(run.wizard.BurnState, 0);
  EXPECT_FALSE(run.wizard.BurnRunning());
}

// Escape is Cancel: on a page it closes the program; during a burn it asks
// the Part's question and a Yes cancels the burn.
TEST(WizardFlow, EscapeCancelsAndDuringABurnAsksFirst) {
  {
    WizardDriver run("cd-r");
    ASSERT_TRUE(run.Active());
    QSignalSpy ended(&run.Program(), &TOndrelleProgram::Ended);
    run.wizard.ButtonNext->click();
    ASSERT_EQ(run.wizard.ActivePage(), wpDevice);
    WizardDriver::Settle();
    ASSERT_NE(run.Keyboard(), nullptr);
    run.Key(Qt::Key_Escape);
    EXPECT_FALSE(run.wizard.isVisible());
    EXPECT_EQ(ended.count(), 1);
  }
  if (WizardDriver::Source(vkVideoCD).isEmpty()) GTEST_SKIP() << "no test media in this build";
  WizardDriver run("cd-r,latency=100");  // preparing the writer takes seconds
  ASSERT_TRUE(run.Active());
  WalkTo(run, wpSummary);
  QStringList questions;
  run.wizard.Confirm = [&questions](const QString& question) {
    questions << question;
    return true;
  };
  QTimer::singleShot(600, [&run] { run.Key(Qt::Key_Escape); });
  run.Key(Qt::Key_Return);
  ASSERT_TRUE(QTest::qWaitFor([&run] { return !run.wizard.BurnRunning(); }, 120000));
  EXPECT_EQ(questions, QStringList{QStringLiteral("Are you sure to cancel burn Video?")});
  EXPECT_TRUE(run.wizard.Burner->Cancelled);
  EXPECT_EQ(run.wizard.BurnState, 2);
  EXPECT_TRUE(run.wizard.isVisible());
}

// Every button of every window can be pressed by a letter, and no two
// controls of one window answer to the same letter; the wizard's letters
// press its buttons, guarded as the mouse is.
TEST(WizardFlow, MnemonicsAreThereUniqueAndPressTheirButtons) {
  if (WizardDriver::Source(vkVideoCD).isEmpty()) GTEST_SKIP() << "no test media in this build";
  WizardDriver run("cd-r");
  ASSERT_TRUE(run.Active());
  TMainForm& wizard = run.wizard;
  QWidget* row = wizard.DownPanel;
  for (int page = wpTransport; page != wpBurn; page = wizard.NextPage(page)) {
    WalkTo(run, page);
    EXPECT_EQ(MnemonicFaults({row, wizard.Page(page)}), QStringList()) << "page " << page;
  }
  TfrmFinalAction burnPage;
  EXPECT_EQ(MnemonicFaults({row, &burnPage}), QStringList());
  EXPECT_EQ(MnemonicFaults({&run.Program().Welcome()}), QStringList());
  EXPECT_EQ(MnemonicFaults({&run.Program().Finish()}), QStringList());
  TfrmOperationProgress wait;
  EXPECT_EQ(MnemonicFaults({&wait}), QStringList());

  // On the summary: Alt+B twice at once goes back one page, Alt+N forward one.
  ASSERT_EQ(wizard.ActivePage(), wpSummary);
  run.Key(Qt::Key_B, Qt::AltModifier);
  run.Key(Qt::Key_B, Qt::AltModifier);
  QTest::qWait(150);  // a mnemonic's press lands after its button's short animation
  EXPECT_EQ(wizard.ActivePage(), wpBurnOptions);
  WizardDriver::WaitPastGuard();
  // The check box's letter reaches the check box, not a button.
  const bool verify = wizard.BurnOptionsPage()->chbVerify->isChecked();
  run.Key(Qt::Key_V, Qt::AltModifier);
  QTest::qWait(150);
  EXPECT_NE(wizard.BurnOptionsPage()->chbVerify->isChecked(), verify);
  run.Key(Qt::Key_N, Qt::AltModifier);
  QTest::qWait(150);
  EXPECT_EQ(wizard.ActivePage(), wpSummary);
  EXPECT_EQ(wizard.BurnState, 0);
}
