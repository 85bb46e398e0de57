// The source page as a user meets it, with mouse clicks on the offscreen
// wizard: every wrong source of each kind refused on the page in plain
// words with nothing written, a right one described, the disc's sectors
// deciding whether it fits, a source that vanishes before the burn, a burn
// refused on its source that Back leads out of, the wait window's Cancel,
// and the file dialog.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <functional>

#include "app/main_form.h"
#include "app/program.h"
#include "app/welcome_form.h"
#include "engine/burner.h"
#include "engine/video_burn_options.h"
#include "engine/video_file_action.h"
#include "modal_answerer.h"
#include "pages/final_action_form.h"
#include "pages/operation_progress_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"
#include "support/video_sources.h"
#include "wizard_driver.h"

using namespace ondrelle;
using test_support::DvdFixture;
using test_support::VideoFixture;
using test_support::VideoFixturesPresent;

namespace {

bool WaitUntil(const std::function<bool()>& done, int milliseconds = 30000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < milliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return done();
}

bool CopyFolder(const QString& from, const QString& to) {
  QDir().mkpath(to);
  for (const QFileInfo& entry : QDir(from).entryInfoList(QDir::Files))
    if (!QFile::copy(entry.filePath(), QDir(to).filePath(entry.fileName()))) return false;
  return true;
}

/// The wizard on virtual writers, walked with the mouse to the source page
/// of `kind`; a source is "chosen" through the page's own Browse button.
class SourceWizard : public WizardDriver {
 public:
  SourceWizard(const char* writers, int kind) : WizardDriver(writers) {
    ToSourcePage(kind);
    page = wizard.SourcePage();
  }

  TfrmSourceData* page = nullptr;
};

struct WrongSource {
  QString path;
  QString refusal;  ///< the whole text, or its start when it ends in "("
};

void ExpectRefusedOnThePage(SourceWizard& w, const WrongSource& wrong) {
  SCOPED_TRACE(wrong.path.toStdString());
  w.Browse(wrong.path);
  const QString shown = w.page->laSourceInfo->text();
  if (wrong.refusal.endsWith(QLatin1Char('(')))
    EXPECT_TRUE(shown.startsWith(wrong.refusal)) << shown.toStdString();
  else
    EXPECT_EQ(shown, wrong.refusal);
  EXPECT_EQ(w.Next(), shown);
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);
  EXPECT_TRUE(w.wizard.ButtonNext->isEnabled());
  EXPECT_TRUE(w.NothingWritten());
}

const QString kMpeg2ForVcd = QStringLiteral(
    "This file is MPEG-2, which a Video CD cannot carry: choose an MPEG-1 file, or go back and choose Super Video CD.");
const QString kMpeg1ForSvcd = QStringLiteral(
    "This file is MPEG-1, which a Super Video CD cannot carry: choose an MPEG-2 file, or go back and choose Video CD.");

}  // namespace

TEST(SourcePage, EachKindRefusesItsWrongSourcesOnThePageAndDescribesARightOne) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  struct Kind {
    int kind;
    const char* writers;
    std::vector<WrongSource> wrong;
    QString right;
    QString description;  ///< its start
  };
  QTemporaryDir folders;
  const QString noVideoTs = folders.filePath(QStringLiteral("holiday"));
  QDir().mkpath(noVideoTs);
  QFile(QDir(noVideoTs).filePath(QStringLiteral("readme.txt"))).open(QIODevice::WriteOnly);
  const std::vector<Kind> kinds{
      {vkVideoCD,
       "cd-r",
       {{VideoFixture("svcd-pal.mpg"), kMpeg2ForVcd},
        {VideoFixture("text.txt"), QStringLiteral("This file cannot be burned as a Video CD (")},
        {VideoFixture("mpeg1-640x360.mpg"), QStringLiteral("This file cannot be burned as a Video CD (")}},
       VideoFixture("vcd-pal.mpg"),
       QStringLiteral("MPEG-1, 352x288, 25 fps, 3 s, 0.")},
      {vkSuperVideoCD,
       "cd-r",
       {{VideoFixture("vcd-pal.mpg"), kMpeg1ForSvcd},
        {VideoFixture("svcd-ac3.mpg"), QStringLiteral("This file cannot be burned as a Super Video CD (")}},
       VideoFixture("svcd-pal.mpg"),
       QStringLiteral("MPEG-2, 480x576, 25 fps, 3 s, ")},
      {vkDVDVideo,
       "dvd+r",
       {{noVideoTs + QLatin1Char('/'), QStringLiteral("This folder cannot be burned as a DVD-Video disc (")},
        {DvdFixture("truncated-ifo/VIDEO_TS") + QLatin1Char('/'),
         QStringLiteral("This folder cannot be burned as a DVD-Video disc (")}},
       DvdFixture("one-title/VIDEO_TS") + QLatin1Char('/'),
       QStringLiteral("DVD-Video, ")},
  };
  for (const Kind& k : kinds) {
    SCOPED_TRACE(k.kind);
    SourceWizard w(k.writers, k.kind);
    ASSERT_EQ(w.wizard.ActivePage(), wpSource);
    for (const WrongSource& wrong : k.wrong) ExpectRefusedOnThePage(w, wrong);

    w.Browse(k.right);
    const QString description = w.page->laSourceInfo->text();
    EXPECT_TRUE(description.startsWith(k.description)) << description.toStdString();
    EXPECT_TRUE(description.endsWith(QStringLiteral("% of the disc"))) << description.toStdString();
    EXPECT_EQ(w.Next(), QString());
    EXPECT_EQ(w.wizard.ActivePage(), wpBurnMode);
    EXPECT_TRUE(w.NothingWritten());
  }
}

TEST(SourcePage, AVideoCDThatFitsByBytesButNotBySectorsIsRefused) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  SourceWizard w("cd-r,capacity=512", vkVideoCD);
  ASSERT_EQ(w.wizard.Burner->DiscSpace.FreeCount, 512u);
  w.Browse(VideoFixture("vcd-pal.mpg"));
  ASSERT_LE(w.page->SelectedSize(), w.page->PossibleSize());  // by bytes it fits
  const QString shown = w.page->laSourceInfo->text();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("A Video CD of this source needs ")));
  EXPECT_TRUE(shown.contains(QStringLiteral(" sectors but the disc has 512 free: ")));
  EXPECT_EQ(w.Next(), shown);
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);
  EXPECT_TRUE(w.NothingWritten());
}

TEST(SourcePage, ASourceDeletedAfterItWasChosenIsCaughtOnThePageAndBeforeTheBurn) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  SourceWizard w("cd-r", vkVideoCD);
  const QString movie = w.FilePath(QStringLiteral("movie.mpg"));
  ASSERT_TRUE(QFile::copy(VideoFixture("vcd-pal.mpg"), movie));
  w.Browse(movie);
  ASSERT_TRUE(QFile::remove(movie));
  EXPECT_EQ(w.Next(), QStringLiteral("Specified file cannot be found"));
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);

  // Put back and checked again, then gone once the page is left.
  ASSERT_TRUE(QFile::copy(VideoFixture("vcd-pal.mpg"), movie));
  w.Browse(movie);
  ASSERT_EQ(w.Next(), QString());
  ASSERT_EQ(w.Next(), QString());
  ASSERT_EQ(w.Next(), QString());
  ASSERT_EQ(w.wizard.ActivePage(), wpSummary);
  ASSERT_TRUE(QFile::remove(movie));
  EXPECT_EQ(w.Next(), QStringLiteral("Specified file cannot be found"));
  EXPECT_EQ(w.wizard.ActivePage(), wpSummary);
  EXPECT_EQ(w.wizard.BurnState, 0);
  EXPECT_TRUE(w.NothingWritten());
}

TEST(SourcePage, AChangedDvdFolderIsCheckedAgainBeforeNextTakesIt) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  SourceWizard w("dvd+r", vkDVDVideo);
  const QString folder = w.FilePath(QStringLiteral("VIDEO_TS"));
  ASSERT_TRUE(CopyFolder(DvdFixture("one-title/VIDEO_TS"), folder));
  w.Browse(folder + QLatin1Char('/'));
  ASSERT_TRUE(w.page->SourceCheck().Passed()) << w.page->laSourceInfo->text().toStdString();
  ASSERT_TRUE(QFile::remove(QDir(folder).filePath(QStringLiteral("VTS_01_0.BUP"))));
  EXPECT_TRUE(w.Next().startsWith(QStringLiteral("The source has changed since it was checked")));
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);
  ASSERT_TRUE(WaitUntil([&w] { return !w.page->Checking(); }));
  EXPECT_TRUE(w.page->laSourceInfo->text().startsWith(QStringLiteral("This folder cannot be burned")));
  EXPECT_EQ(w.Next(), w.page->laSourceInfo->text());
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);
}

TEST(SourcePage, ABurnRefusedOnItsSourceShowsAPlainSentenceAndBackLeadsToTheSource) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  SourceWizard w("cd-r", vkVideoCD);
  w.Browse(VideoFixture("vcd-pal.mpg"));
  ASSERT_EQ(w.Next(), QString());
  ASSERT_EQ(w.Next(), QString());
  ASSERT_EQ(w.Next(), QString());
  ASSERT_EQ(w.wizard.ActivePage(), wpSummary);
  // The source the burn is given turns out to be MPEG-2 only when it starts.
  auto* video = dynamic_cast<TsbVideoFileAction*>(w.wizard.Actions->Items(0).Action);
  ASSERT_NE(video, nullptr);
  video->Options.SourceFile = VideoFixture("svcd-pal.mpg");

  EXPECT_EQ(w.Next(), kMpeg2ForVcd);
  ASSERT_EQ(w.wizard.ActivePage(), wpBurn);
  EXPECT_EQ(w.wizard.BurnState, 2);
  // The library's own words stay in the log.
  const QTreeWidget* log = w.wizard.FinalPage()->lvLog;
  bool libraryLine = false;
  for (int i = 0; i < log->topLevelItemCount(); ++i)
    libraryLine |= log->topLevelItem(i)->text(0).startsWith(QStringLiteral("Emberline_CdvdWriter_VideoCD() failed"));
  EXPECT_TRUE(libraryLine);
  EXPECT_TRUE(w.NothingWritten());

  ASSERT_TRUE(w.wizard.ButtonPrev->isEnabled());
  w.Back();
  EXPECT_EQ(w.wizard.ActivePage(), wpSummary);
  EXPECT_EQ(w.wizard.BurnState, 0);
  EXPECT_TRUE(w.wizard.ButtonClose->isEnabled());
  w.Back();
  w.Back();
  w.Back();
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);
}

TEST(SourcePage, TheWaitWindowsCancelStopsALongCheckAndNextRefusesTheUncheckedSource) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  SourceWizard w("cd-r", vkSuperVideoCD);
  // A long stream: the same short one many times over.
  const QString longMovie = w.FilePath(QStringLiteral("long.mpg"));
  {
    QFile piece(VideoFixture("svcd-pal.mpg"));
    ASSERT_TRUE(piece.open(QIODevice::ReadOnly));
    const QByteArray bytes = piece.readAll();
    QFile out(longMovie);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    for (int i = 0; i < 60; ++i) out.write(bytes);
  }
  w.page->WaitWindowDelay = 0;
  w.page->ChooseFile = [longMovie](const QString&) { return longMovie; };
  QTest::mouseClick(w.page->btnBrowse, Qt::LeftButton);
  EXPECT_FALSE(w.wizard.ButtonNext->isEnabled());  // the wizard waits for the check
  TfrmOperationProgress* wait = nullptr;
  ASSERT_TRUE(WaitUntil([&] {
    wait = w.wizard.findChild<TfrmOperationProgress*>();
    return (wait != nullptr && wait->isVisible()) || !w.page->Checking();
  }));
  ASSERT_TRUE(w.page->Checking()) << "the check ended before the wait window showed";
  EXPECT_EQ(wait->windowTitle(), QStringLiteral("Checking the source"));
  QTest::mouseClick(wait->btnCancel, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&w] { return !w.page->Checking(); }));
  EXPECT_EQ(w.wizard.findChild<TfrmOperationProgress*>(), nullptr);
  EXPECT_TRUE(w.wizard.ButtonNext->isEnabled());
  EXPECT_EQ(w.page->SourceCheck().Result, TsbSourceCheck::Outcome::Cancelled);
  EXPECT_EQ(w.Next(), w.page->laSourceInfo->text());
  EXPECT_TRUE(w.page->laSourceInfo->text().contains(QStringLiteral("cancelled")));
  EXPECT_EQ(w.wizard.ActivePage(), wpSource);
}

TEST(SourcePage, TheFileDialogStartsWhereTheLastSourceCameFromAndOffersAllFiles) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  SourceWizard w("cd-r", vkSuperVideoCD);
  QStringList filters;
  QString startedIn;
  QStringList shownTypes;
  bool typesFit = false;
  auto answer = [&](const QString& pick) {
    QTimer::singleShot(0, [&, pick] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (dialog == nullptr) return;
      filters = dialog->nameFilters();
      startedIn = dialog->directory().absolutePath();
      shownTypes.clear();
      if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"))) {
        for (int i = 0; i < types->count(); ++i) shownTypes << types->itemText(i);
        const int widest = types->fontMetrics().horizontalAdvance(shownTypes.value(0));
        typesFit = widest < types->width();
      }
      dialog->selectFile(pick);
      static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    });
  };
  answer(VideoFixture("svcd-pal.mpg"));
  QTest::mouseClick(w.page->btnBrowse, Qt::LeftButton);
  ASSERT_TRUE(WaitUntil([&w] { return !w.page->Checking(); }));
  EXPECT_EQ(w.page->SourcePath(), VideoFixture("svcd-pal.mpg"));
  ASSERT_EQ(filters.size(), 2);
  EXPECT_TRUE(filters.at(0).startsWith(QStringLiteral("Super Video CD files (")));
  EXPECT_TRUE(filters.at(0).contains(QStringLiteral("*.MPG")));
  EXPECT_EQ(filters.at(1), QStringLiteral("All files (*)"));
  EXPECT_EQ(shownTypes, (QStringList{QStringLiteral("Super Video CD files"), QStringLiteral("All files")}));
  EXPECT_TRUE(typesFit);

  // The next dialog, of this page or a new one, starts in that folder.
  EXPECT_EQ(w.page->StartFolder(), QStringLiteral(ONDRELLE_VIDEO_FIXTURES));
  TfrmSourceData fresh;
  EXPECT_EQ(fresh.StartFolder(), QStringLiteral(ONDRELLE_VIDEO_FIXTURES));
  answer(VideoFixture("vcd-pal.mpg"));
  QTest::mouseClick(w.page->btnBrowse, Qt::LeftButton);
  EXPECT_EQ(startedIn, QStringLiteral(ONDRELLE_VIDEO_FIXTURES));
  ASSERT_TRUE(WaitUntil([&w] { return !w.page->Checking(); }));
}
