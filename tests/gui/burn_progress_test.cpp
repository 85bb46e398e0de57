// What the wizard tells while and after it burns: the phase, amount, times
// and speed of a virtual burn as they move, the caption each ending leaves,
// where a virtual writer put the disc, the log's selection and copy, and
// the device page's names and empty list.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cstdlib>
#include <functional>

#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "burn_run.h"
#include "engine/action.h"
#include "engine/action_list.h"
#include "engine/burner.h"
#include "engine/video_burn_options.h"
#include "engine/writer_readiness.h"
#include "log/callback_eventer.h"
#include "log/operation_log.h"
#include "modal_answerer.h"
#include "pages/burn_mode_form.h"
#include "pages/final_action_form.h"
#include "pages/select_device_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"
#include "wizard_driver.h"

using namespace ondrelle;

namespace {

/// The wizard on virtual writers walked with the mouse to the summary of
/// a Video CD of the test fixture.
void ToSummary(WizardDriver& run, const std::function<void()>& onModePage = {}) {
  run.ToSummary(vkVideoCD, WizardDriver::Source(vkVideoCD), onModePage);
}

/// What the burning page's band showed, sampled while a burn runs (the
/// page is made when the wizard first enters it).
struct Sampled {
  explicit Sampled(const TMainForm& wizard) {
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [this, &wizard] {
      if (wizard.FinalPage() == nullptr) return;
      const TsbBurnProgressView& view = *wizard.FinalPage()->ProgressView;
      if (!view.lblCaption->text().isEmpty()) phases << view.lblCaption->text();
      if (!view.lblAmount->text().isEmpty()) amounts << view.lblAmount->text();
      if (!view.lblTimes->text().isEmpty()) times << view.lblTimes->text();
      // The speed of the write; the read-back goes at the drive's read speed.
      if (view.lblCaption->text() == QLatin1String("Writing") && !view.lblSpeed->text().isEmpty())
        speeds << view.lblSpeed->text();
      if (onSample) onSample(view);
    });
    timer.start();
  }
  QTimer timer;
  QStringList phases;
  QSet<QString> amounts;
  QSet<QString> times;
  QStringList speeds;
  std::function<void(const TsbBurnProgressView&)> onSample;
};

QString WithoutBreaks(QString text) {
  return text.remove(QChar(0x200B));
}

bool HasMedia() {
  return !WizardDriver::Source(vkVideoCD).isEmpty();
}

}  // namespace

TEST(BurnProgress, ARealtimeBurnShowsPhaseAmountTimesAndSpeedThatMove) {
  if (!HasMedia()) GTEST_SKIP() << "no test media in this build";
  // 2x: a few seconds of writing; every command a little slow, so no phase passes unseen.
  WizardDriver run("cd-r,realtime=1,speeds=353,latency=20");
  ASSERT_NO_FATAL_FAILURE(ToSummary(run));
  Sampled seen(run.wizard);
  EXPECT_EQ(run.Next(), QString());
  seen.timer.stop();

  // Each phase in its order, once.
  QStringList phases = seen.phases;
  phases.removeDuplicates();
  // A Video CD is closed by the recording itself: no closing step of its own.
  EXPECT_EQ(phases, (QStringList{"Preparing", "Writing lead-in", "Writing", "Verifying", "Ejecting"}))
      << seen.phases.join(QLatin1Char(',')).toStdString();
  EXPECT_GE(seen.amounts.size(), 4) << "the amount moves";
  EXPECT_GE(seen.times.size(), 3) << "the clock moves";
  EXPECT_FALSE(seen.times.values().filter(QStringLiteral(", remaining ")).isEmpty());
  ASSERT_FALSE(seen.speeds.isEmpty());
  static const QRegularExpression speedText(QStringLiteral("^(\\d+\\.\\d)x, (\\d+\\.\\d\\d) MB/s$"));
  const auto speed = speedText.match(seen.speeds.constLast());
  ASSERT_TRUE(speed.hasMatch()) << seen.speeds.constLast().toStdString();
  EXPECT_GT(speed.captured(1).toDouble(), 1.0);
  EXPECT_LT(speed.captured(1).toDouble(), 4.0);

  // The end: the whole amount, the bar full, and where the disc went.
  const TsbBurnProgressView& view = *run.wizard.FinalPage()->ProgressView;
  EXPECT_EQ(view.lblCaption->text(), QStringLiteral("Burning completed"));
  EXPECT_TRUE(view.lblSpeed->text().isEmpty());
  EXPECT_EQ(view.Meter().Done(), view.Meter().Total());
  EXPECT_EQ(run.wizard.FinalPage()->pbWrite->value(), 100);
  const QString image = run.Recorded(QStringLiteral("*.cue"));
  ASSERT_FALSE(image.isEmpty());
  EXPECT_TRUE(run.BurnLog().contains(QStringLiteral("The virtual writer saved the disc as ") + image))
      << run.BurnLog().join(QLatin1Char('\n')).toStdString();
  EXPECT_EQ(view.lblCaption->toolTip(), image);
  EXPECT_EQ(run.Next(), QString());  // to the completion window
  EXPECT_EQ(WithoutBreaks(run.Program().Finish().DescriptionLabel->text()),
            QStringLiteral("You have successfully completed the Ondrelle. The virtual writer saved the disc as ") +
                image + QLatin1Char('.'));
}

TEST(BurnProgress, AFailedACancelledAndATestRunEachEndWithTheCaptionThatSaysSo) {
  if (!HasMedia()) GTEST_SKIP() << "no test media in this build";
  {
    WizardDriver run("cd-r,fault=write-error@40");
    ASSERT_NO_FATAL_FAILURE(ToSummary(run));
    EXPECT_FALSE(run.Next().isEmpty());  // the error box
    EXPECT_EQ(run.wizard.FinalPage()->ProgressView->lblCaption->text(), QStringLiteral("Burning failed"));
    EXPECT_EQ(run.wizard.FinalPage()->pbWrite->value(), 100);
    EXPECT_FALSE(run.BurnLog().contains(QStringLiteral("Burning completed")));
  }
  {
    WizardDriver run("cd-r,realtime=1,speeds=176");
    ASSERT_NO_FATAL_FAILURE(ToSummary(run));
    run.wizard.Confirm = [](const QString&) { return true; };
    Sampled seen(run.wizard);
    bool pressed = false;
    // Cancel as soon as blocks are being written.
    seen.onSample = [&run, &pressed](const TsbBurnProgressView& view) {
      if (pressed || view.lblCaption->text() != QLatin1String("Writing") || view.Meter().Done() == 0) return;
      pressed = true;
      QTest::mouseClick(run.wizard.ButtonClose, Qt::LeftButton);
    };
    EXPECT_EQ(run.Next(), QString());
    EXPECT_TRUE(pressed);
    EXPECT_EQ(run.wizard.FinalPage()->ProgressView->lblCaption->text(), QStringLiteral("Burning cancelled"));
    EXPECT_LT(run.wizard.FinalPage()->ProgressView->Meter().Done(),
              run.wizard.FinalPage()->ProgressView->Meter().Total());
  }
  {
    WizardDriver run("cd-r");
    ASSERT_NO_FATAL_FAILURE(ToSummary(run, [&run] {
      ASSERT_TRUE(run.wizard.BurnModePage()->chbTestMode->isEnabled());
      QCheckBox& test = *run.wizard.BurnModePage()->chbTestMode;
      QTest::mouseClick(&test, Qt::LeftButton, {}, QPoint(8, test.height() / 2));  // on its box
    }));
    ASSERT_TRUE(run.wizard.Burner->TestMode);
    EXPECT_EQ(run.Next(), QString());
    const QString said = QStringLiteral("Test completed: nothing was written to the disc");
    EXPECT_EQ(run.wizard.FinalPage()->ProgressView->lblCaption->text(), said);
    EXPECT_EQ(run.BurnLog().constLast(), said);
    EXPECT_TRUE(run.BurnLog().filter(QStringLiteral("saved the disc")).isEmpty()) << "a test leaves no disc";
    EXPECT_EQ(run.Next(), QString());  // to the completion window
    EXPECT_TRUE(run.Program().Finish().DescriptionLabel->text().endsWith(said + QLatin1Char('.')));
  }
}

TEST(BurnProgress, TheLogSelectsAndCopiesEveryLineWholeAndShowsACutLineInItsTooltip) {
  PageOnSession s;
  s.log.Add().LogMessage = QStringLiteral("Burning video disc");  // a line without a time
  TfrmFinalAction& page = s.page;
  page.SetBurner(&s.burner);
  const QString longLine = QStringLiteral("Source video file: /home/someone/Videos/") + QString(120, QLatin1Char('x')) +
                           QStringLiteral(".mpg");
  page.AddLogLine(nullptr, longLine, TsbLogItemType::litInfo);
  page.AddLogLine(nullptr, QStringLiteral("Short"), TsbLogItemType::litInfo);
  page.resize(492, 249);
  page.show();
  QApplication::processEvents();
  TsbLogList& list = *page.lvLog;

  // Ctrl+A, Ctrl+C: every line, whole, as the saved log has it.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(2)).center());
  QTest::keyClick(&list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(list.selectedItems().size(), 3);
  QApplication::clipboard()->clear();
  QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
  const QString time1 = list.topLevelItem(1)->text(1);
  const QString time2 = list.topLevelItem(2)->text(1);
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("         Burning video disc\n") + time1 +
                                                   QLatin1Char(' ') + longLine + QLatin1Char('\n') + time2 +
                                                   QStringLiteral(" Short\n"));
  // Shift+click picks a range; the copy keeps the log's order.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(2)).center());
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                    list.visualItemRect(list.topLevelItem(1)).center());
  QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(),
            time1 + QLatin1Char(' ') + longLine + QLatin1Char('\n') + time2 + QStringLiteral(" Short\n"));

  // The context menu offers the same two.
  EXPECT_EQ(list.contextMenuPolicy(), Qt::ActionsContextMenu);
  ASSERT_EQ(list.actions().size(), 2);
  EXPECT_EQ(list.actions().at(0)->text(), QStringLiteral("&Copy"));
  EXPECT_EQ(list.actions().at(1)->text(), QStringLiteral("Select &All"));
  list.clearSelection();
  EXPECT_FALSE(list.actCopy->isEnabled());
  list.actSelectAll->trigger();
  EXPECT_TRUE(list.actCopy->isEnabled());

  // The cut line shows whole in its tooltip; a line that fits has none.
  auto tipAt = [&list](int row) {
    QToolTip::hideText();
    QApplication::processEvents();
    const QPoint at = list.visualItemRect(list.topLevelItem(row)).center();
    QHelpEvent help(QEvent::ToolTip, at, list.viewport()->mapToGlobal(at));
    QApplication::sendEvent(list.viewport(), &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  EXPECT_EQ(tipAt(2), QString());
  EXPECT_EQ(tipAt(1), longLine);
  QToolTip::hideText();

  // And the saved log holds the long line whole too.
  QTemporaryDir folder;
  QString error;
  ASSERT_TRUE(page.SaveLogTo(folder.filePath(QStringLiteral("log.txt")), error));
  QFile saved(folder.filePath(QStringLiteral("log.txt")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_TRUE(saved.readAll().contains((longLine + QStringLiteral("\r\n")).toLocal8Bit()));
}

TEST(BurnProgress, WarningsOfTheLibraryReachTheLogAsWarnings) {
  /// An action during which the library warns, as a renamed file makes it do.
  class WarningAction : public TsbAction {
   public:
    void Execute(TsbActionItem* item) override {
      TsbAction::Execute(item);
      CallBackEventer().DoWarning(QStringLiteral("EXTRA.VOB in the VIDEO_TS folder is left off the disc"));
    }
  };
  WarningAction warning;
  PageOnSession s;
  s.actions.Add().Action = &warning;
  TfrmFinalAction& page = s.page;
  page.SetBurner(&s.burner);
  ASSERT_TRUE(RunToEnd(page));
  ASSERT_GE(page.lvLog->topLevelItemCount(), 1);
  const QTreeWidgetItem* row = page.lvLog->topLevelItem(0);
  EXPECT_EQ(row->text(0), QStringLiteral("EXTRA.VOB in the VIDEO_TS folder is left off the disc"));
  EXPECT_EQ(row->icon(0).pixmap(16, 16).toImage(), page.imlSmall[2].pixmap(16, 16).toImage());
  EXPECT_FALSE(CallBackEventer().OnWarning) << "the page lets go of the eventer after its run";
}

TEST(DevicePage, TheListShowsEachDrivesNameAndItsWholeProduct) {
  WizardDriver run("cd-r;dvd+r,product=LONGPRODUCTNAME1");
  ASSERT_EQ(run.Next(), QString());
  TfrmSelectDevice& page = *run.wizard.DevicePage();
  QTreeWidget& list = *page.lvDevices;
  ASSERT_EQ(list.topLevelItemCount(), 2);
  EXPECT_EQ(list.headerItem()->text(6), QStringLiteral("Drive"));
  EXPECT_EQ(list.topLevelItem(0)->text(6), QStringLiteral("CdRom16"));
  EXPECT_EQ(list.topLevelItem(1)->text(6), QStringLiteral("CdRom17"));
  EXPECT_EQ(list.topLevelItem(1)->text(0), QStringLiteral("LONGPRODUCTNAME1"));
  for (int row = 0; row < 2; ++row) {
    const QTreeWidgetItem* item = list.topLevelItem(row);
    const int needed = list.fontMetrics().horizontalAdvance(item->text(0));
    EXPECT_GT(list.columnWidth(0), needed) << item->text(0).toStdString() << " is not cut";
    EXPECT_TRUE(item->toolTip(0).contains(item->text(0)));
    EXPECT_TRUE(item->toolTip(3).startsWith(item->text(6)));
  }
  EXPECT_TRUE(page.lblNoDevices->isHidden());
  // All of it within the list's width, the label column taking what is left.
  QApplication::processEvents();
  EXPECT_EQ(list.horizontalScrollBar()->maximum(), 0) << [&list] {
    std::string widths = std::to_string(list.viewport()->width()) + ":";
    for (int c = 0; c < 7; ++c) widths += " " + std::to_string(list.columnWidth(c));
    return widths;
  }();
}

TEST(DevicePage, AnEmptyListSaysNoWriterWasFoundAndWhatToCheck) {
  WizardDriver run("none");
  ASSERT_EQ(run.Next(), QString());
  TfrmSelectDevice& page = *run.wizard.DevicePage();
  EXPECT_EQ(page.lvDevices->topLevelItemCount(), 0);
  EXPECT_TRUE(page.lblNoDevices->isVisible());
  EXPECT_TRUE(page.lblNoDevices->text().startsWith(QStringLiteral("No CD or DVD writer was found.")));
  EXPECT_TRUE(page.lblNoDevices->text().contains(QStringLiteral("Refresh")));
  EXPECT_TRUE(page.lvDevices->viewport()->rect().contains(page.lblNoDevices->geometry()));
  EXPECT_LE(page.lblNoDevices->heightForWidth(page.lblNoDevices->width()), page.lblNoDevices->height());
}

TEST(DevicePage, AClosedDiscIsSaidToBeClosedNotMerelyWritten) {
  WizardDriver run("cd-r,sessions=1");
  ASSERT_EQ(run.Next(), QString());
  EXPECT_TRUE(run.wizard.DevicePage()->lvDevices->topLevelItem(0)->toolTip(0).contains(ClosedDiscText()));
  EXPECT_EQ(run.Next(), ClosedDiscText());
  EXPECT_EQ(run.wizard.ActivePage(), wpDevice);
}
