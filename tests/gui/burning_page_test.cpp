// The burning page: its list, its bars, running actions on a virtual
// writer, an action's failure, Cancel, and the saved log.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <thread>

#include "burn_run.h"
#include "engine/action.h"
#include "engine/burn_at_once_action.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "log/operation_log.h"
#include "modal_answerer.h"
#include "pages/final_action_form.h"
#include "support/file_tree_builder.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

QStringList Rows(const TfrmFinalAction& page) {
  QStringList rows;
  for (int i = 0; i < page.lvLog->topLevelItemCount(); ++i) rows << page.lvLog->topLevelItem(i)->text(0);
  return rows;
}

bool SameIcon(const QIcon& a, const QIcon& b) {
  return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

/// An action that reports one line, or fails with a text.
class ScriptedAction : public TsbAction {
 public:
  explicit ScriptedAction(QString line, QString failure = {}) : line_(std::move(line)), failure_(std::move(failure)) {}
  void Execute(TsbActionItem* item) override {
    TsbAction::Execute(item);
    ++runs;
    if (!failure_.isEmpty()) throw TsbError(failure_);
    DoMessage(line_, TsbLogItemType::litWarning);
  }
  int runs = 0;

 private:
  QString line_;
  QString failure_;
};

}  // namespace

TEST(BurningPage, TheWizardsLinesAreListedWithTheInformationIconAndTheirTime) {
  PageOnSession s;
  TsbLogItem& plain = s.log.Add();
  plain.LogMessage = QStringLiteral("Burning video disc");
  TsbLogItem& error = s.log.Add();
  error.LogMessage = QStringLiteral("a failure from a page");
  error.ItemType = TsbLogItemType::litError;
  error.LogTime = QDateTime(QDate(2026, 12, 7), QTime(9, 5, 7));
  s.page.SetBurner(&s.burner);

  EXPECT_EQ(Rows(s.page), (QStringList{plain.LogMessage, error.LogMessage}));
  for (int i = 0; i < 2; ++i) EXPECT_TRUE(SameIcon(s.page.lvLog->topLevelItem(i)->icon(0), s.page.imlSmall[0])) << i;
  EXPECT_TRUE(s.page.lvLog->topLevelItem(0)->text(1).isEmpty());
  EXPECT_EQ(s.page.lvLog->topLevelItem(1)->text(1), TfrmFinalAction::TimeText(QTime(9, 5, 7)));
  EXPECT_EQ(TfrmFinalAction::TimeText(QTime(9, 5, 7)).size(), 8);
  EXPECT_FALSE(s.page.btnSaveLog->isEnabled());
}

TEST(BurningPage, ProgressIsCappedAtAHundredButTheBufferReportIsShownAsItCame) {
  TfrmFinalAction page;
  page.SetWriteProgress(nullptr, 150);
  EXPECT_EQ(page.pbWrite->value(), 100);
  EXPECT_EQ(page.lblProcentValue->text(), QStringLiteral("100 %"));
  page.SetWriteProgress(nullptr, 42);
  EXPECT_EQ(page.lblProcentValue->text(), QStringLiteral("42 %"));
  page.SetBufferProgress(nullptr, 150);
  EXPECT_EQ(page.lblBufferValue->text(), QStringLiteral("150 %"));
  EXPECT_TRUE(page.pbBuffer->isHidden());
  page.ResetProgress();
  EXPECT_EQ(page.lblProcentValue->text(), QStringLiteral("0 %"));
  EXPECT_EQ(page.lblBufferValue->text(), QStringLiteral("0 %"));
}

TEST(BurningPage, AWorkersReportsReachTheWidgetsOnlyThroughTheUiThread) {
  TfrmFinalAction page;
  std::thread worker([&page] {
    page.SetWriteProgress(nullptr, 37);
    page.AddLogLine(nullptr, QStringLiteral("from the worker"), TsbLogItemType::litInfo);
  });
  worker.join();
  // Nothing has changed until the UI thread runs its queue.
  EXPECT_NE(page.pbWrite->value(), 37);
  EXPECT_EQ(page.lvLog->topLevelItemCount(), 0);
  QCoreApplication::sendPostedEvents(&page);
  EXPECT_EQ(page.pbWrite->value(), 37);
  EXPECT_EQ(Rows(page), QStringList{QStringLiteral("from the worker")});

  // A line the UI thread adds never overtakes one a worker queued before it.
  std::thread second([&page] { page.AddLogLine(nullptr, QStringLiteral("worker, first"), TsbLogItemType::litInfo); });
  second.join();
  page.AddLogLine(nullptr, QStringLiteral("ui, second"), TsbLogItemType::litInfo);
  EXPECT_EQ(Rows(page).mid(1), (QStringList{QStringLiteral("worker, first"), QStringLiteral("ui, second")}));
}

TEST(BurningPage, AFailingActionIsLoggedAndShownAndTheRunStillFinishes) {
  PageOnSession s;
  ScriptedAction first(QStringLiteral("first ran"));
  ScriptedAction failing(QStringLiteral("never"), QStringLiteral("Emberline_CdvdWriter_Burn() failed, exception 5"));
  ScriptedAction third(QStringLiteral("third ran"));
  for (TsbAction* action :
       {static_cast<TsbAction*>(&first), static_cast<TsbAction*>(&failing), static_cast<TsbAction*>(&third)})
    s.actions.Add().Action = action;
  s.actions.Add();  // an item without an action is passed over
  s.page.SetBurner(&s.burner);

  ModalAnswerer boxes;
  ASSERT_TRUE(RunToEnd(s.page));

  EXPECT_EQ(first.runs, 1);
  EXPECT_EQ(failing.runs, 1);
  EXPECT_EQ(third.runs, 0);
  EXPECT_EQ(Rows(s.page), (QStringList{QStringLiteral("first ran"),
                                       QStringLiteral("Emberline_CdvdWriter_Burn() failed, exception 5")}));
  EXPECT_TRUE(SameIcon(s.page.lvLog->topLevelItem(0)->icon(0), s.page.imlSmall[2]));
  EXPECT_TRUE(SameIcon(s.page.lvLog->topLevelItem(1)->icon(0), s.page.imlSmall[1]));
  EXPECT_FALSE(s.page.lvLog->topLevelItem(1)->text(1).isEmpty());
  EXPECT_EQ(boxes.Texts(), QStringList{QStringLiteral("Emberline_CdvdWriter_Burn() failed, exception 5")});
  EXPECT_EQ(s.page.pbWrite->value(), 100);
  EXPECT_EQ(s.page.lblProcentValue->text(), QStringLiteral("100 %"));
  EXPECT_TRUE(s.page.btnSaveLog->isEnabled());
  EXPECT_EQ(s.actions.Burner, nullptr);
}

TEST(BurningPage, ADataBurnOnTheVirtualWriterShowsItsProgressAndLogAndSavesIt) {
  VirtualWriters writers("cd-r");
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("holiday.mpg"), 600000);
  PageOnSession s;
  s.log.Add().LogMessage = QStringLiteral("Burning video disc");
  s.burner.TransportType = TsbTransportType::ttSpti;
  s.burner.DeviceName = QStringLiteral("CdRom16");
  s.burner.OpenDevice();
  s.burner.Lock();
  s.burner.FileTree = files.Tree();
  TsbBurnAtOnceToCDDVDAction burn;
  s.actions.Add().Action = &burn;
  s.page.SetBurner(&s.burner);

  int highest = 0;
  QTimer watch;
  watch.setInterval(1);
  QObject::connect(&watch, &QTimer::timeout, [&] { highest = std::max(highest, s.page.pbWrite->value()); });
  watch.start();
  ModalAnswerer boxes;
  std::vector<TsbBurnStep> steps;
  QObject::connect(&s.page, &TfrmFinalAction::BurnStepChanged, [&](TsbBurnStep step) { steps.push_back(step); });
  ASSERT_TRUE(RunToEnd(s.page));
  s.burner.FileTree = nullptr;

  EXPECT_EQ(steps, (std::vector<TsbBurnStep>{TsbBurnStep::Checking, TsbBurnStep::Preparing, TsbBurnStep::Writing,
                                             TsbBurnStep::Closing, TsbBurnStep::Ejecting}));
  EXPECT_GT(highest, 0) << "the bar moved while the job ran";
  EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(s.burner.BurnSucceeded);
  const QStringList rows = Rows(s.page);
  EXPECT_EQ(rows.first(), QStringLiteral("Burning video disc"));
  EXPECT_TRUE(rows.contains(QStringLiteral("Building ISO image")));
  // The burn's last line, then where the virtual writer put the disc.
  ASSERT_GE(rows.size(), 2);
  EXPECT_EQ(rows.at(rows.size() - 2), QStringLiteral("Burning completed"));
  EXPECT_TRUE(rows.last().startsWith(QStringLiteral("The virtual writer saved the disc as ")));
  EXPECT_EQ(s.page.pbWrite->value(), 100);
  EXPECT_TRUE(s.page.btnSaveLog->isEnabled());
  EXPECT_EQ(QDir(writers.Directory()).entryList({QStringLiteral("CdRom16-*.cue")}).size(), 1);

  // The saved log holds exactly the visible rows, time first.
  QTemporaryDir folder;
  const QString path = folder.filePath(TfrmFinalAction::ProposedLogFileName(QDateTime::currentDateTime()));
  QString error;
  ASSERT_TRUE(s.page.SaveLogTo(path, error)) << error.toStdString();
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QList<QByteArray> lines = saved.readAll().split('\n');
  ASSERT_EQ(lines.size(), rows.size() + 1);  // the last line ends the file
  EXPECT_TRUE(lines.last().isEmpty());
  EXPECT_EQ(lines[0], QByteArray("         Burning video disc\r"));
  for (int i = 1; i < rows.size(); ++i) {
    const QTreeWidgetItem* row = s.page.lvLog->topLevelItem(i);
    EXPECT_EQ(lines[i], (row->text(1) + QLatin1Char(' ') + row->text(0)).toLocal8Bit() + '\r');
  }
}

TEST(BurningPage, CancelDuringARunStopsTheBurnAndThePageStillFinishes) {
  VirtualWriters writers("cd-r,realtime=1,speeds=706");
  FileTreeBuilder files;
  files.AddFile(QStringLiteral("holiday.mpg"), 3000000);
  PageOnSession s;
  s.burner.TransportType = TsbTransportType::ttSpti;
  s.burner.DeviceName = QStringLiteral("CdRom16");
  s.burner.OpenDevice();
  s.burner.FileTree = files.Tree();
  TsbBurnAtOnceToCDDVDAction burn;
  s.actions.Add().Action = &burn;
  s.page.SetBurner(&s.burner);

  QTimer cancel;
  cancel.setInterval(5);
  QObject::connect(&cancel, &QTimer::timeout, [&] {
    if (s.page.pbWrite->value() > 0 && s.page.Running()) {
      s.burner.Cancel();
      cancel.stop();
    }
  });
  cancel.start();
  ModalAnswerer boxes;
  ASSERT_TRUE(RunToEnd(s.page));
  s.burner.FileTree = nullptr;

  EXPECT_TRUE(s.burner.Cancelled);
  EXPECT_FALSE(s.burner.BurnSucceeded);
  EXPECT_EQ(s.page.pbWrite->value(), 100);
  EXPECT_TRUE(s.page.btnSaveLog->isEnabled());
}

TEST(BurningPage, SavingReplacesAnExistingFileAndAFailedSaveKeepsIt) {
  TfrmFinalAction page;
  page.AddLogLine(nullptr, QStringLiteral("only line"), TsbLogItemType::litInfo);
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("log.txt"));
  {
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older and much longer log that must not survive\r\n");
  }
  QString error;
  ASSERT_TRUE(page.SaveLogTo(path, error));
  QFile saved(path);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray content = saved.readAll();
  EXPECT_TRUE(content.endsWith(" only line\r\n"));
  EXPECT_EQ(content.count("\r\n"), 1);

  EXPECT_FALSE(page.SaveLogTo(folder.filePath(QStringLiteral("missing/log.txt")), error));
  EXPECT_TRUE(error.contains(QStringLiteral("missing/log.txt")));

  EXPECT_EQ(TfrmFinalAction::ProposedLogFileName(QDateTime(QDate(2026, 12, 7), QTime(9, 5))),
            QStringLiteral("Log_0712_0905.txt"));
  EXPECT_EQ(TfrmFinalAction::ProposedLogFileName(QDateTime(QDate(2026, 1, 31), QTime(23, 59))),
            QStringLiteral("Log_3101_2359.txt"));
}
