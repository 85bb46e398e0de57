// The program's windows: creation, the main window, moving between the
// welcome window, the wizard and the completion window.

#include "app/program.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QThread>
#include <cstdlib>

#include "app/about_form.h"
#include "app/finish_form.h"
#include "app/main_form.h"
#include "app/welcome_form.h"
#include "engine/action.h"
#include "modal_answerer.h"
#include "pages/final_action_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"

using namespace ondrelle;

namespace {

struct Program {
  Program() : program(folder.filePath(QStringLiteral("lame.dll"))) { program.Start(); }
  QTemporaryDir folder;
  TOndrelleProgram program;
};

}  // namespace

TEST(Program, OnlyTheWelcomeWindowShowsAtFirstAndTheWizardHasFilledTheOthers) {
  Program p;
  EXPECT_TRUE(p.program.Welcome().isVisible());
  EXPECT_FALSE(p.program.Wizard().isVisible());
  EXPECT_FALSE(p.program.Finish().isVisible());
  EXPECT_FALSE(p.program.About().isVisible());
  EXPECT_EQ(p.program.Welcome().windowTitle(), QStringLiteral("Ondrelle"));
  EXPECT_EQ(p.program.About().windowTitle(), QStringLiteral("About Ondrelle"));
  EXPECT_EQ(p.program.About().lblAppName->text(), QStringLiteral("Ondrelle"));
  EXPECT_FALSE(p.program.About().Image1->pixmap().isNull());
  EXPECT_EQ(p.program.Finish().windowTitle(), QStringLiteral("Ondrelle"));
  EXPECT_EQ(p.program.Finish().CompleteLabel->text(), QStringLiteral("Completing the Ondrelle"));
  EXPECT_FALSE(p.program.Finish().Image2->pixmap().isNull());
  EXPECT_EQ(p.program.Welcome().size(), QSize(497, 360));
  EXPECT_EQ(p.program.Wizard().size(), QSize(497, 360));
  EXPECT_EQ(p.program.About().size(), QSize(291, 159));
  EXPECT_FALSE(p.program.Welcome().ButtonPrev->isEnabled());
  EXPECT_FALSE(p.program.Finish().ButtonClose->isEnabled());
}

TEST(Program, ClosingTheWelcomeWindowOrFinishingEndsTheProgram) {
  {
    Program p;
    int ended = 0;
    QObject::connect(&p.program, &TOndrelleProgram::Ended, [&ended] { ++ended; });
    p.program.Welcome().ButtonClose->click();
    EXPECT_EQ(ended, 1);
  }
  Program p;
  int ended = 0;
  QObject::connect(&p.program, &TOndrelleProgram::Ended, [&ended] { ++ended; });
  p.program.Finish().ButtonNext->click();
  EXPECT_EQ(ended, 1);
  EXPECT_FALSE(p.program.Finish().isVisible());
}

TEST(Program, EachWindowTakesThePlaceOfTheOneBefore) {
  Program p;
  TfrmWelcome& welcome = p.program.Welcome();
  TMainForm& wizard = p.program.Wizard();
  welcome.move(123, 77);
  welcome.ButtonNext->click();
  EXPECT_TRUE(wizard.isVisible());
  EXPECT_FALSE(welcome.isVisible());
  EXPECT_EQ(wizard.pos(), QPoint(123, 77));
  EXPECT_EQ(wizard.ActivePage(), wpTransport);
  EXPECT_EQ(wizard.LabelTitle->text(), QStringLiteral("SCSI Transport"));
  EXPECT_EQ(wizard.ButtonNext->text(), QStringLiteral("&Next >"));

  wizard.move(200, 100);
  wizard.ButtonPrev->click();  // Back on the first page: the welcome window again
  EXPECT_TRUE(welcome.isVisible());
  EXPECT_FALSE(wizard.isVisible());
  EXPECT_EQ(welcome.pos(), QPoint(200, 100));
}

TEST(Program, AfterTheBurnNextOpensTheCompletionWindowWithTheResult) {
  struct Case {
    bool succeeded;
    bool cancelled;
    const char* text;
  };
  for (const Case& c :
       {Case{true, false, "You have successfully completed the Ondrelle."},
        Case{true, true, "Ondrelle was cancelled by user."}, Case{false, false, "Ondrelle finished with errors."}}) {
    Program p;
    TMainForm& wizard = p.program.Wizard();
    wizard.show();
    wizard.BurnState = 2;
    wizard.Burner->BurnSucceeded = c.succeeded;
    wizard.Burner->Cancelled = c.cancelled;
    wizard.UpdateButtons();
    EXPECT_FALSE(wizard.ButtonPrev->isEnabled());
    EXPECT_FALSE(wizard.ButtonClose->isEnabled());
    wizard.ButtonNext->click();
    EXPECT_TRUE(p.program.Finish().isVisible());
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_EQ(p.program.Finish().DescriptionLabel->text(), QString::fromLatin1(c.text));
    EXPECT_EQ(p.program.Finish().pos(), wizard.pos());
  }
}

TEST(Program, NextWalksThePageOrderToTheBurnPageWhichRunsAndEndsFinished) {
  QTemporaryDir recordings;
  ::setenv("ONDRELLE_VIRTUAL_DIR", recordings.path().toLocal8Bit().constData(), 1);
  ::setenv("ONDRELLE_VIRTUAL_WRITERS", "dvd+r", 1);
  Program p;
  TMainForm& wizard = p.program.Wizard();
  wizard.show();
  ASSERT_EQ(wizard.ActivePage(), wpTransport);
  ModalAnswerer boxes;
  QList<int> visited{wizard.ActivePage()};
  TsbAction quietBurn;  // the walk is the point here, not the burn
  while (wizard.BurnState != 2 && visited.size() < 12) {
    // The choices the pages need: DVD-Video (no template) from a folder.
    if (wizard.ActivePage() == wpDiscType) wizard.DiscTypePage()->cbVideoDiscType->setCurrentIndex(2);
    if (wizard.ActivePage() == wpSource) {
      wizard.SourcePage()->SetSourcePath(QStringLiteral(ONDRELLE_DVD_FIXTURES_DIR "/one-title/VIDEO_TS/"));
      while (wizard.SourcePage()->Checking()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (wizard.ActivePage() == wpSummary) wizard.Actions->Items(0).Action = &quietBurn;
    wizard.ButtonNext->click();
    // The burn runs on its own worker; the event loop brings its end.
    while (wizard.BurnRunning()) {
      QCoreApplication::processEvents();
      QThread::msleep(2);
    }
    visited.append(wizard.ActivePage());
  }
  EXPECT_EQ(visited, (QList<int>{0, 2, 4, 5, 6, 7, 8, 1}));
  EXPECT_TRUE(wizard.LibraryStarted);
  ASSERT_NE(wizard.FinalPage(), nullptr);
  EXPECT_EQ(wizard.FinalPage()->parentWidget(), wizard.PageHost(wpBurn));
  EXPECT_EQ(wizard.FinalPage()->lvLog->topLevelItem(0)->text(0), QStringLiteral("Burning video disc"));
  EXPECT_EQ(wizard.LabelTitle->text(), QStringLiteral("Burning"));
  EXPECT_TRUE(wizard.ButtonNext->isEnabled());
  EXPECT_FALSE(wizard.ButtonPrev->isEnabled());
  EXPECT_TRUE(boxes.Texts().isEmpty());
}
