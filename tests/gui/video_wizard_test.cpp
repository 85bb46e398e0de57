// The video wizard driven offscreen on virtual writers: the checks made as
// each page is left and their texts, what Back takes away, Cancel and the
// title bar's close during a burn, and the whole wizard once per disc kind.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <utility>
#include <vector>

#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "engine/action.h"
#include "engine/burner.h"
#include "engine/video_file_action.h"
#include "modal_answerer.h"
#include "pages/burn_mode_form.h"
#include "pages/burn_options_form.h"
#include "pages/final_action_form.h"
#include "pages/options_summary_form.h"
#include "pages/select_device_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"
#include "wizard_driver.h"

using namespace ondrelle;

namespace {

// Whether this tree burns video discs yet. While it does not, the video
// action refuses and the whole-wizard runs check that refusal; once the
// video burn is in, set these to true and the runs expect a good disc
// that the Debian readers accept.
constexpr bool kVideoCDBurnAvailable = true;
constexpr bool kDVDVideoBurnAvailable = true;
const QString kRefusalBeforeVideoBurn = QStringLiteral("Video burning is not available yet");

/// The wizard on virtual writers, its buttons pressed by their own click:
/// these runs test what each page checks as it is left, not the guard
/// against doubled presses, and take no wait past it.
class WizardRun : public WizardDriver {
 public:
  explicit WizardRun(const char* writers) : WizardDriver(writers, Clicks::Programmatic) {}

  /// A copy of a small real MPEG of the test media, named `name`.
  QString Movie(const char* fixture, const char* name = "movie.mpg") {
    const QString copy = FilePath(QString::fromLatin1(name));
    EXPECT_TRUE(QFile::copy(QStringLiteral(ONDRELLE_VIDEO_FIXTURES "/") + QString::fromLatin1(fixture), copy));
    return copy;
  }
};

/// A burn that runs on the job's worker until it is cancelled or its time is
/// up, and notes what the wizard looked like while it ran. The user's clicks
/// and the looks are taken on the UI thread, which stays free meanwhile.
class SlowBurn : public TsbAction {
 public:
  explicit SlowBurn(TMainForm& wizard, int milliseconds) : wizard_(wizard), milliseconds_(milliseconds) {}
  void Execute(TsbActionItem* item) override {
    TsbAction::Execute(item);
    TsbBurner& burner = *wizard_.Burner;
    QElapsedTimer clock;
    clock.start();
    // A cancelled burn takes a little while to wind down, as a drive does.
    qint64 end = milliseconds_;
    std::size_t step = 0;
    while (clock.elapsed() < end) {
      if (burner.Cancelled && end == milliseconds_) end = clock.elapsed() + 150;
      // The user's clicks, made while the burn runs.
      if (step < During.size() && clock.elapsed() >= During[step].first) OnUiThread(During[step++].second);
      QThread::msleep(5);
    }
    // What the windows were like at the end of the run, before it returns.
    OnUiThread([this] {
      wizardVisibleAtEnd = wizard_.isVisible();
      stateAtEnd = wizard_.BurnState;
      nextEnabledAtEnd = wizard_.ButtonNext->isEnabled();
    });
    burner.BurnSucceeded = !burner.Cancelled;
  }
  void OnUiThread(const std::function<void()>& work) {
    QMetaObject::invokeMethod(&wizard_, work, Qt::BlockingQueuedConnection);
  }
  /// What the user does while the burn runs, at its time in milliseconds.
  std::vector<std::pair<qint64, std::function<void()>>> During;
  bool wizardVisibleAtEnd = false;
  int stateAtEnd = -1;
  bool nextEnabledAtEnd = true;

 private:
  TMainForm& wizard_;
  int milliseconds_;
};

QStringList LogLines(const TMainForm& wizard) {
  QStringList lines;
  for (int i = 0; i < wizard.Log->Count(); ++i) lines << wizard.Log->Items(i).LogMessage;
  return lines;
}

QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(60000);
  return QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
}

QByteArray ReadWhole(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

TEST(VideoWizard, TheDeviceStepRefusesNoDeviceAReadOnlyDiscAndAWrittenOne) {
  struct Case {
    const char* writers;
    const char* text;
  };
  for (const Case& c :
       {Case{"none", "You must select device that is supports burning CD/DVD"},
        Case{"cd-rom", "No writable disc is inserted"},
        Case{"cd-r,sessions=1,appendable=1", "Disc is not blank, burning is impossible!"},
        Case{"cd-r,sessions=1", "The disc in the drive is closed (finalized): nothing more can be written on it"},
        Case{"cd-r,fault=not-ready",
             "The drive is not ready: it cannot read or write the disc now. "
             "Check the disc, wait until the drive has settled and try again"}}) {
    WizardRun run(c.writers);
    EXPECT_EQ(run.Next(), QString()) << c.writers;
    ASSERT_EQ(run.wizard.ActivePage(), wpDevice) << c.writers;
    EXPECT_EQ(run.wizard.LabelTitle->text(), QStringLiteral("Device Selection"));
    EXPECT_EQ(run.Next(), QString::fromLatin1(c.text)) << c.writers;
    EXPECT_EQ(run.wizard.ActivePage(), wpDevice) << c.writers;
    EXPECT_TRUE(run.wizard.ButtonNext->isEnabled());
    EXPECT_EQ(run.wizard.Burner->Writer, nullptr) << c.writers;  // nothing opened
  }
}

TEST(VideoWizard, TheDeviceListShowsTheWritersAndTheChosenOneGoesIntoTheSession) {
  WizardRun run("cd-r,label=HOLIDAY,sessions=1;dvd+r");
  ASSERT_EQ(run.Next(), QString());
  TfrmSelectDevice& page = *run.wizard.DevicePage();
  ASSERT_EQ(page.lvDevices->topLevelItemCount(), 2);
  const QTreeWidgetItem* written = page.lvDevices->topLevelItem(0);
  EXPECT_EQ(written->text(3), QStringLiteral("CD-R"));
  EXPECT_TRUE(written->text(4).endsWith(QStringLiteral(" MB")));
  EXPECT_EQ(written->text(5), QStringLiteral("HOLIDAY"));
  EXPECT_EQ(page.lvDevices->topLevelItem(1)->text(4), QStringLiteral("Blank"));
  EXPECT_EQ(page.lvDevices->currentItem(), written);  // the first row at first

  page.lvDevices->setCurrentItem(page.lvDevices->topLevelItem(1));
  page.btnRefresh->click();  // the choice survives a rescan
  EXPECT_EQ(page.lvDevices->currentItem(), page.lvDevices->topLevelItem(1));
  EXPECT_EQ(run.Next(), QString());
  ASSERT_EQ(run.wizard.ActivePage(), wpDiscType);
  TsbBurner& session = *run.wizard.Burner;
  EXPECT_EQ(session.DeviceName, QStringLiteral("CdRom17"));
  EXPECT_EQ(session.TransportType, TsbTransportType::ttSpti);
  EXPECT_EQ(session.DiscType, DISC_TYPE_DVDPLUSR);
  EXPECT_GT(session.DiscSpace.FreeSize, std::int64_t{4000000000});
  EXPECT_NE(session.Writer, nullptr);
  EXPECT_EQ(LogLines(run.wizard).at(1), QStringLiteral("Destination device: ") + page.GetDeviceInfo().Product);
}

TEST(VideoWizard, TheDiscMustSuitTheChosenKindBothWays) {
  struct Case {
    const char* writers;
    int kind;
    const char* text;
  };
  for (const Case& c : {Case{"cd-r", vkDVDVideo, "Please insert blank DVD-R, DVD+R, DVD-RW, DVD+RW media!"},
                        Case{"dvd+r", vkVideoCD, "Please insert blank CD-R or CD-RW media!"},
                        Case{"dvd+r", vkSuperVideoCD, "Please insert blank CD-R or CD-RW media!"}}) {
    WizardRun run(c.writers);
    ASSERT_EQ(run.Next(), QString());
    ASSERT_EQ(run.Next(), QString());
    run.wizard.DiscTypePage()->cbVideoDiscType->setCurrentIndex(c.kind);
    EXPECT_EQ(run.Next(), QString::fromLatin1(c.text)) << c.writers;
    EXPECT_EQ(run.wizard.ActivePage(), wpDiscType);
  }
}

TEST(VideoWizard, TheSourceStepChecksSizePathFileAndTemplate) {
  WizardRun run("cd-r");
  run.ToSourcePage(vkVideoCD);
  TfrmSourceData& page = *run.wizard.SourcePage();
  EXPECT_EQ(page.PossibleSize(), run.wizard.Burner->DiscSpace.FreeSize);
  EXPECT_EQ(run.Next(), QStringLiteral("You must select source path for video data!"));

  run.Choose(run.FilePath(QStringLiteral("gone.mpg")));
  EXPECT_EQ(run.Next(), QStringLiteral("Specified file cannot be found"));

  const QString movie = run.Movie("vcd-pal.mpg");
  run.Choose(movie);
  const qint64 size = QFileInfo(movie).size();
  run.wizard.Burner->DiscSpace.FreeSize = size - 1;  // one byte short
  EXPECT_EQ(run.Next(), QStringLiteral("Total file(s) size to big for burning on this disc!"));
  run.wizard.Burner->DiscSpace.FreeSize = size;  // exactly enough

  const QString videoTemplate = run.TemplatePath("Emberline_VideoCD.iso");
  ASSERT_TRUE(QFile::remove(videoTemplate));
  EXPECT_EQ(run.Next(), QStringLiteral("Can't find video template ") + videoTemplate);
  EXPECT_EQ(run.wizard.ActivePage(), wpSource);
  WizardDriver::MakeFile(videoTemplate, 2048);
  EXPECT_EQ(run.Next(), QString());
  EXPECT_EQ(run.wizard.ActivePage(), wpBurnMode);
}

TEST(VideoWizard, BackAndForthOverTheSourcePageLeavesOneActionAndOneSourceLine) {
  WizardRun run("cd-r");
  run.ToSourcePage(vkSuperVideoCD);
  const QString movie = run.Movie("svcd-pal.mpg");
  run.Choose(movie);
  ASSERT_EQ(run.Next(), QString());
  run.Back();
  EXPECT_EQ(run.wizard.ActivePage(), wpSource);
  run.Back();
  EXPECT_EQ(run.wizard.ActivePage(), wpDiscType);
  EXPECT_EQ(run.wizard.Actions->Count(), 1);  // the target's own stays until it is left again
  ASSERT_EQ(run.Next(), QString());
  EXPECT_EQ(run.wizard.SourcePage()->SourcePath(), movie);  // same kind: kept
  ASSERT_EQ(run.Next(), QString());
  ASSERT_EQ(run.Next(), QString());
  run.Back();
  ASSERT_EQ(run.Next(), QString());

  ASSERT_EQ(run.wizard.Actions->Count(), 1);
  auto* video = dynamic_cast<TsbVideoFileAction*>(run.wizard.Actions->Items(0).Action);
  ASSERT_NE(video, nullptr);
  EXPECT_EQ(video->Options.SourceFile, movie);
  EXPECT_TRUE(video->Options.SourceFolder.isEmpty());
  EXPECT_EQ(video->Options.VideoKind, vkSuperVideoCD);
  const QStringList lines = LogLines(run.wizard);
  ASSERT_EQ(lines.size(), 3);
  EXPECT_EQ(lines.at(0), QStringLiteral("Burning video disc"));
  EXPECT_TRUE(lines.at(1).startsWith(QStringLiteral("Destination device: ")));
  EXPECT_EQ(lines.at(2), QStringLiteral("Source video file: ") + movie);
  EXPECT_EQ(lines.filter(QStringLiteral("Source video file:")).size(), 1);
}

TEST(VideoWizard, CancelDuringABurnAsksAndOnlyYesStopsIt) {
  for (bool yes : {true, false}) {
    WizardRun run("cd-r");
    run.ToSourcePage(vkVideoCD);
    run.Choose(run.Movie("vcd-pal.mpg"));
    run.SourceToSummary();
    SlowBurn burn(run.wizard, yes ? 5000 : 300);
    run.wizard.Actions->Items(0).Action = &burn;
    QStringList questions;
    run.wizard.Confirm = [&](const QString& question) {
      questions << question;
      return yes;
    };
    int ended = 0;
    QObject::connect(&run.Program(), &TOndrelleProgram::Ended, [&ended] { ++ended; });
    burn.During.emplace_back(50, [&run] { run.wizard.ButtonClose->click(); });
    // A burn thread may switch Cancel on again while a cancelled burn winds
    // down: pressing it then must neither ask again nor close the program.
    bool cancelEnabledAfterAnswer = false;
    burn.During.emplace_back(80, [&run, yes, &cancelEnabledAfterAnswer] {
      cancelEnabledAfterAnswer = run.wizard.ButtonClose->isEnabled();
      if (!yes) return;
      run.wizard.SetCancelEnabled(true);
      run.wizard.ButtonClose->click();
    });
    EXPECT_EQ(run.Next(), QString());

    EXPECT_EQ(questions, QStringList{QStringLiteral("Are you sure to cancel burn Video?")});
    EXPECT_EQ(burn.stateAtEnd, yes ? 0 : 1);
    EXPECT_FALSE(burn.nextEnabledAtEnd);
    EXPECT_EQ(cancelEnabledAfterAnswer, !yes);
    EXPECT_EQ(run.wizard.BurnState, 2);
    EXPECT_TRUE(run.wizard.ButtonNext->isEnabled());
    EXPECT_FALSE(run.wizard.ButtonPrev->isEnabled());
    EXPECT_EQ(bool(run.wizard.Burner->Cancelled), yes);
    EXPECT_TRUE(burn.wizardVisibleAtEnd);
    EXPECT_EQ(ended, 0);
    run.wizard.ButtonNext->click();
    EXPECT_EQ(run.Program().Finish().DescriptionLabel->text(),
              yes ? QStringLiteral("Ondrelle was cancelled by user.")
                  : QStringLiteral("You have successfully completed the Ondrelle."));
  }
}

// Cancel while a slow writer is being prepared ends the run at once: the
// stage waiting on the drive is cut short, no later stage runs, nothing is
// burned, and the run ends cancelled.
TEST(VideoWizard, CancelWhileTheWriterIsPreparedEndsTheRunAtOnce) {
  WizardRun run("cd-r,latency=100");  // preparing takes several seconds
  run.ToSourcePage(vkVideoCD);
  run.Choose(run.Movie("vcd-pal.mpg"));
  run.SourceToSummary();
  run.wizard.Confirm = [](const QString&) { return true; };
  QElapsedTimer clock;
  qint64 cancelledAt = -1;
  QTimer::singleShot(1000, [&] {
    cancelledAt = clock.elapsed();
    run.wizard.ButtonClose->click();
  });
  clock.start();
  EXPECT_EQ(run.Next(), QString());
  const qint64 endedAt = clock.elapsed();
  ASSERT_GE(cancelledAt, 0) << "the run ended before the cancel";
  EXPECT_LT(endedAt - cancelledAt, 1000);
  const QStringList log = run.BurnLog();
  EXPECT_TRUE(log.contains(QStringLiteral("Burning cancelled"))) << log.join(QLatin1Char('\n')).toStdString();
  EXPECT_FALSE(log.contains(QStringLiteral("Burning started")));
  EXPECT_TRUE(run.Recorded(QStringLiteral("*.cue")).isEmpty());
  EXPECT_TRUE(run.wizard.Burner->Cancelled);
  EXPECT_EQ(run.wizard.BurnState, 2);
}

TEST(VideoWizard, TheTitleBarsCloseDuringABurnAsksFirstAndClosesOnlyAfterTheBurn) {
  for (bool yes : {true, false}) {
    WizardRun run("cd-r");
    int ended = 0;
    QObject::connect(&run.Program(), &TOndrelleProgram::Ended, [&ended] { ++ended; });
    run.ToSourcePage(vkVideoCD);
    run.Choose(run.Movie("vcd-pal.mpg"));
    run.SourceToSummary();
    SlowBurn burn(run.wizard, yes ? 5000 : 300);
    run.wizard.Actions->Items(0).Action = &burn;
    int questions = 0;
    run.wizard.Confirm = [&](const QString&) {
      ++questions;
      return yes;
    };
    int endedDuringBurn = -1;
    burn.During.emplace_back(50, [&run] { run.wizard.close(); });
    burn.During.emplace_back(120, [&] {
      run.wizard.close();  // asked once more while the cancelled burn winds down: no second question
      endedDuringBurn = ended;
    });
    run.Next();

    EXPECT_EQ(questions, yes ? 1 : 2);     // refused, the second close asks again
    EXPECT_TRUE(burn.wizardVisibleAtEnd);  // the burn was never left behind
    EXPECT_EQ(endedDuringBurn, 0);
    EXPECT_EQ(run.wizard.BurnState, 2);
    EXPECT_EQ(ended, yes ? 1 : 0);
    EXPECT_EQ(run.wizard.isVisible(), !yes);
  }
}

TEST(VideoWizard, TheSummaryStatesTheChoices) {
  WizardRun run("dvd+r");
  run.ToSourcePage(vkDVDVideo);
  EXPECT_EQ(run.wizard.SourcePage()->laSourceCaption->text(), QStringLiteral("&Source Direcotry:"));
  const QString folder = QStringLiteral(ONDRELLE_DVD_FIXTURES_DIR "/one-title/VIDEO_TS/");
  run.Choose(folder);
  run.SourceToSummary();
  EXPECT_EQ(run.wizard.BurnModePage()->cmbModes->count(), 1);  // no Session-At-Once for DVD-Video
  const QStringList lines = run.wizard.SummaryPage()->edtSummary->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 10);
  EXPECT_TRUE(lines.at(0).startsWith(QStringLiteral("Drive: VIRTUAL ")));
  EXPECT_TRUE(lines.at(0).endsWith(QStringLiteral("(CdRom16)")));
  EXPECT_EQ(lines.at(1), QStringLiteral("Transport: SPTI"));
  EXPECT_EQ(lines.at(2), QStringLiteral("Disc Type: DVD+R"));
  EXPECT_TRUE(lines.at(3).startsWith(QStringLiteral("Burning Speed: ")));
  EXPECT_EQ(lines.at(5), QStringLiteral("Burning Mode: Track-At-Once"));
  EXPECT_EQ(lines.at(7), QStringLiteral("Video Format: DVD Video"));
  EXPECT_EQ(lines.at(8), QStringLiteral("Source Data: '") + folder + QLatin1Char('\''));
  EXPECT_EQ(lines.at(9), QStringLiteral("Verify After Burning: Yes"));
  EXPECT_EQ(run.wizard.LabelTitle->text(), QStringLiteral("Options Summary"));
}

TEST(VideoWizard, ABusyPageRefusesTheCloseAndTheProgramGoesOn) {
  WizardRun run("cd-r");
  int ended = 0;
  QObject::connect(&run.Program(), &TOndrelleProgram::Ended, [&ended] { ++ended; });
  run.wizard.LockWizard();  // as the device page does for the length of its scan
  EXPECT_FALSE(run.wizard.close());
  EXPECT_TRUE(run.wizard.isVisible());
  EXPECT_EQ(ended, 0);
  run.wizard.UnlockWizard();
  EXPECT_TRUE(run.wizard.close());
  EXPECT_EQ(ended, 1);
}

TEST(VideoWizard, TheVerifyChoiceIsRememberedAndReachesTheSession) {
  const auto toOptions = [](WizardRun& run) {
    run.ToSourcePage(vkDVDVideo);
    run.Choose(QStringLiteral(ONDRELLE_DVD_FIXTURES_DIR "/one-title/VIDEO_TS/"));
    ASSERT_EQ(run.Next(), QString());
    ASSERT_EQ(run.Next(), QString());
    ASSERT_EQ(run.wizard.ActivePage(), wpBurnOptions);
  };
  bool firstChoice = false;
  {
    WizardRun run("dvd+r");
    toOptions(run);
    // Whatever an earlier run left, the user turns it over here.
    firstChoice = !run.wizard.BurnOptionsPage()->chbVerify->isChecked();
    run.wizard.BurnOptionsPage()->chbVerify->setChecked(firstChoice);
    ASSERT_EQ(run.Next(), QString());
    EXPECT_EQ(run.wizard.Burner->VerifyAfterBurn, firstChoice);
    EXPECT_TRUE(run.wizard.SummaryPage()->edtSummary->toPlainText().endsWith(
        QStringLiteral("Verify After Burning: ") + (firstChoice ? QStringLiteral("Yes") : QStringLiteral("No"))));
  }
  WizardRun next("dvd+r");
  toOptions(next);
  EXPECT_EQ(next.wizard.BurnOptionsPage()->chbVerify->isChecked(), firstChoice);
  next.wizard.BurnOptionsPage()->chbVerify->setChecked(true);  // the default, for the runs that follow
  ASSERT_EQ(next.Next(), QString());
  EXPECT_TRUE(next.wizard.Burner->VerifyAfterBurn);
}

TEST(VideoWizard, ADiscThatFailsItsVerifyFailsTheRunAndIsNotTrusted) {
  const QString source = WizardDriver::Source(vkDVDVideo);
  if (source.isEmpty()) GTEST_SKIP() << "no test media in this build";
  const auto burn = [&source](WizardRun& run) {
    run.ToSourcePage(vkDVDVideo);
    run.Choose(source);
    run.SourceToSummary();
    return run.Next();
  };
  // A first disc, verified, shows where the title's video lies.
  QString videoBlock;
  {
    WizardRun run("dvd+r");
    ASSERT_EQ(burn(run), QString());
    ASSERT_TRUE(run.wizard.Burner->VerifyAfterBurn);
    const QString image = run.Recorded(QStringLiteral("*.iso"));
    ASSERT_FALSE(image.isEmpty());
    const QString listing = RunTool(QStringLiteral("isoinfo"), {QStringLiteral("-l"), QStringLiteral("-i"), image});
    const auto found = QRegularExpression(QStringLiteral("\\[\\s*(\\d+)\\s+\\d+\\]\\s+VTS_01_1\\.VOB")).match(listing);
    ASSERT_TRUE(found.hasMatch()) << listing.toStdString();
    videoBlock = QString::number(found.captured(1).toLongLong() + 3);
  }
  const QByteArray writers = "dvd+r,fault=corrupt@" + videoBlock.toLatin1();
  WizardRun run(writers.constData());
  const QString shown = burn(run);
  const QStringList log = run.BurnLog();
  // The box says it plainly; the library's line, naming the sector and the file, is in the log.
  EXPECT_EQ(shown, QStringLiteral("The disc does not read back as it was written: do not trust it, and burn the "
                                  "video again on a new blank disc."));
  const QStringList failure = log.filter(QStringLiteral("Emberline_CdvdWriter_Verify() failed"));
  ASSERT_EQ(failure.size(), 1) << log.join(QLatin1Char('\n')).toStdString();
  EXPECT_TRUE(failure.at(0).contains(videoBlock)) << "the sector is named: " << failure.at(0).toStdString();
  EXPECT_TRUE(failure.at(0).contains(QStringLiteral("VTS_01_1.VOB"))) << failure.at(0).toStdString();
  EXPECT_TRUE(log.contains(QStringLiteral("Verifying disc"))) << log.join(QLatin1Char('\n')).toStdString();
  EXPECT_FALSE(log.contains(QStringLiteral("Burning completed")));
  EXPECT_FALSE(run.wizard.Burner->BurnSucceeded);
  run.wizard.ButtonNext->click();
  // Then where the virtual writer put the disc.
  EXPECT_TRUE(run.Program().Finish().DescriptionLabel->text().startsWith(
      QStringLiteral("Ondrelle finished with errors. The disc does not read back as it was meant to be "
                     "written: do not trust it. The virtual writer saved the disc as ")))
      << run.Program().Finish().DescriptionLabel->text().toStdString();
}

// The whole wizard, once per kind: welcome, transport, device (with the
// scan's wait window), disc type, source, mode, options, summary, burn,
// completion.
class WholeWizard : public ::testing::TestWithParam<int> {};

TEST_P(WholeWizard, BurnsTheKindOnAVirtualWriter) {
  const int kind = GetParam();
  const bool dvd = kind == vkDVDVideo;
  const bool available = dvd ? kDVDVideoBurnAvailable : kVideoCDBurnAvailable;
  WizardRun run(dvd ? "dvd+r" : "cd-r");
  EXPECT_EQ(run.wizard.ActivePage(), wpTransport);
  run.ToSourcePage(kind);

  QString source = WizardDriver::Source(kind);
  if (source.isEmpty()) {
    if (available) GTEST_SKIP() << "no test media in this build";
    source = run.FilePath(dvd ? QStringLiteral("VIDEO_TS/") : QStringLiteral("movie.mpg"));
    if (!dvd) WizardDriver::MakeFile(source, 65536);
  }
  run.Choose(source);
  run.SourceToSummary();
  const QString shownFailure = run.Next();
  ASSERT_EQ(run.wizard.ActivePage(), wpBurn);
  EXPECT_EQ(run.wizard.BurnState, 2);
  const QStringList log = run.BurnLog();
  EXPECT_EQ(log.at(0), QStringLiteral("Burning video disc"));
  EXPECT_TRUE(log.contains(QStringLiteral("Source video file: ") + source));
  run.wizard.ButtonNext->click();
  const QString result = run.Program().Finish().DescriptionLabel->text();

  if (!available) {
    EXPECT_TRUE(log.contains(kRefusalBeforeVideoBurn)) << log.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(shownFailure, kRefusalBeforeVideoBurn);
    EXPECT_EQ(result, QStringLiteral("Ondrelle finished with errors."));
    return;
  }
  EXPECT_EQ(shownFailure, QString());
  EXPECT_TRUE(result.startsWith(
      QStringLiteral("You have successfully completed the Ondrelle. The virtual writer saved the disc as ")))
      << result.toStdString() << '\n'
      << log.join(QLatin1Char('\n')).toStdString();
  // The verify is on unless the user turned it off.
  EXPECT_TRUE(log.contains(QStringLiteral("Verifying disc"))) << log.join(QLatin1Char('\n')).toStdString();
  EXPECT_FALSE(
      log.filter(QRegularExpression(QStringLiteral("^Disc verified: [1-9][0-9]* sectors compared, all equal$")))
          .isEmpty());
  if (dvd) {
    const QString image = run.Recorded(QStringLiteral("*.iso"));
    ASSERT_FALSE(image.isEmpty());
    EXPECT_TRUE(RunTool(QStringLiteral("lsdvd"), {image}).contains(QStringLiteral("Title: 01")));
    // Every file of the folder comes back byte for byte.
    const QString backup = run.FilePath(QStringLiteral("backup"));
    RunTool(QStringLiteral("dvdbackup"), {QStringLiteral("-M"), QStringLiteral("-n"), QStringLiteral("COPY"),
                                          QStringLiteral("-i"), image, QStringLiteral("-o"), backup});
    const QDir folder(source);
    const QStringList files = folder.entryList(QDir::Files);
    EXPECT_FALSE(files.isEmpty());
    for (const QString& name : files)
      EXPECT_EQ(ReadWhole(backup + QStringLiteral("/COPY/VIDEO_TS/") + name), ReadWhole(folder.filePath(name)))
          << name.toStdString();
  } else {
    const QString cue = run.Recorded(QStringLiteral("*.cue"));
    ASSERT_FALSE(cue.isEmpty());
    const QString info =
        RunTool(QStringLiteral("vcd-info"), {QStringLiteral("--no-banner"), QStringLiteral("-c"), cue});
    EXPECT_TRUE(info.contains(kind == vkVideoCD ? QStringLiteral("VCD 2.0") : QStringLiteral("SVCD")))
        << info.toStdString();
    // The MPEG stream comes back byte for byte.
    QProcess rip;
    rip.setWorkingDirectory(QFileInfo(cue).path());
    rip.start(QStringLiteral("vcdxrip"), {QStringLiteral("--cue-file=") + QFileInfo(cue).fileName()});
    rip.waitForFinished(60000);
    const QString ripped = QFileInfo(cue).dir().filePath(QStringLiteral("avseq01.mpg"));
    EXPECT_FALSE(ReadWhole(ripped).isEmpty()) << rip.readAllStandardError().toStdString();
    EXPECT_EQ(ReadWhole(ripped), ReadWhole(source)) << "the ripped stream is the source";
  }
}

INSTANTIATE_TEST_SUITE_P(EachKind, WholeWizard, ::testing::Values(vkVideoCD, vkSuperVideoCD, vkDVDVideo),
                         [](const ::testing::TestParamInfo<int>& kindInfo) {
                           return std::string(kindInfo.param == vkVideoCD        ? "VideoCD"
                                              : kindInfo.param == vkSuperVideoCD ? "SuperVideoCD"
                                                                                 : "DVDVideo");
                         });
