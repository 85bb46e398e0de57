// The wizard base window and the page base: page order, library start,
// importing a page's lines and actions, docking and the busy events.

#include <gtest/gtest.h>

#include <QApplication>

#include "engine/action.h"
#include "engine/tsb_error.h"
#include "frame/sb_dock_form.h"
#include "frame/sb_main_form.h"

using namespace ondrelle;

namespace {

class FakeLibraryForm : public TsbMainForm {
 public:
  FakeLibraryForm() {
    startLibrary_ = [this] {
      ++starts;
      if (refuse) throw TsbError(QStringLiteral("Emberline_StartUp() failed, exception 7"));
    };
    // Runs from the base's destructor too, when this object is gone: it
    // must not touch members of its own.
    stopLibrary_ = [] { throw TsbError(QStringLiteral("not reported")); };
  }
  int starts = 0;
  bool refuse = false;
};

class PageWithLines : public TsbDockForm {
 public:
  TsbLog* GetLog() override { return log.Count() > 0 || hasLog ? &log : nullptr; }
  TsbActionList* GetActions() override { return hasActions ? &actions : nullptr; }
  TsbLog log;
  TsbActionList actions;
  bool hasLog = true;
  bool hasActions = true;
};

class NoAction : public TsbAction {};

}  // namespace

TEST(WizardFrame, PageOrderLooksUpNeighboursAndAnswersMinusOneOutsideIt) {
  FakeLibraryForm form;
  EXPECT_EQ(form.NextPage(0), -1);  // empty order
  form.PageOrder = {QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("1")};
  EXPECT_EQ(form.NextPage(0), 2);
  EXPECT_EQ(form.NextPage(4), 1);
  EXPECT_EQ(form.NextPage(1), -1);  // last
  EXPECT_EQ(form.NextPage(3), -1);  // not in the order
  EXPECT_EQ(form.PrevPage(0), -1);  // first
  EXPECT_EQ(form.PrevPage(1), 4);
  form.BuildPageOrder();
  EXPECT_TRUE(form.PageOrder.isEmpty());
}

TEST(WizardFrame, TheLibraryStartsOnceAndARefusalCanBeRetried) {
  FakeLibraryForm form;
  form.refuse = true;
  try {
    form.StartLibrary();
    FAIL() << "a refusal must raise";
  } catch (const TsbError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Emberline_StartUp() failed, exception 7"));
  }
  EXPECT_FALSE(form.LibraryStarted);
  form.refuse = false;
  form.StartLibrary();
  form.StartLibrary();
  EXPECT_TRUE(form.LibraryStarted);
  EXPECT_EQ(form.starts, 2);
  form.StopLibrary();  // its failure is swallowed
  EXPECT_FALSE(form.LibraryStarted);
}

TEST(WizardFrame, ImportingStampsEveryCopiedLineAndActionWithTheOwner) {
  FakeLibraryForm form;
  form.Log->Add().LogMessage = QStringLiteral("before");
  const int before = form.Log->Count();
  form.ImportPageLog(nullptr, 2);
  PageWithLines page;
  page.hasLog = false;
  page.hasActions = false;
  form.ImportPageLog(&page, 2);
  form.ImportPageActions(&page, 2);
  EXPECT_EQ(form.Log->Count(), before);
  EXPECT_EQ(form.Actions->Count(), 0);

  page.hasLog = true;
  page.hasActions = true;
  for (int owner : {0, 4, 9}) {
    TsbLogItem& item = page.log.Add();
    item.LogMessage = QStringLiteral("line %1").arg(owner);
    item.ItemType = TsbLogItemType::litWarning;
    item.LogTime = QDateTime::currentDateTime();
    item.PageOwner = owner;
  }
  NoAction action;
  page.actions.Add().Action = &action;
  form.ImportPageLog(&page, 2);
  form.ImportPageActions(&page, 2);
  ASSERT_EQ(form.Log->Count(), before + 3);
  for (int i = before; i < form.Log->Count(); ++i) {
    EXPECT_EQ(form.Log->Items(i).PageOwner, 2);
    EXPECT_EQ(form.Log->Items(i).ItemType, TsbLogItemType::litWarning);
    EXPECT_FALSE(form.Log->Items(i).LogTime.isNull());
  }
  EXPECT_EQ(form.Log->Items(before + 2).LogMessage, QStringLiteral("line 9"));
  ASSERT_EQ(form.Actions->Count(), 1);
  EXPECT_EQ(form.Actions->Items(0).Action, &action);
  EXPECT_EQ(form.Actions->Items(0).PageOwner, 2);

  form.DeletePageLog(2);
  form.DeletePageActions(2);
  EXPECT_EQ(form.Log->Count(), before);
  EXPECT_EQ(form.Actions->Count(), 0);
}

TEST(WizardFrame, ADockedPageKeepsItsMarginsAsTheHostResizes) {
  QWidget host;
  host.resize(489, 223);
  host.show();
  auto* page = new TsbDockForm;
  page->DockTo(&host);
  EXPECT_EQ(page->parentWidget(), &host);
  EXPECT_EQ(page->geometry(), QRect(5, 5, 484, 218));
  host.resize(600, 300);
  EXPECT_EQ(page->geometry(), QRect(5, 5, 595, 295));
}

TEST(WizardFrame, BusyEventsLockTheWizardAndEveryEndUnlocksIt) {
  FakeLibraryForm form;
  TsbDockForm page;
  page.OnBeginBusy = [&form](TsbDockForm&) { form.LockWizard(); };
  page.OnEndBusy = [&form](TsbDockForm&) { form.UnlockWizard(); };
  page.BeginBusy();
  EXPECT_FALSE(form.CanClose);
  page.BeginBusy();
  page.EndBusy();
  EXPECT_TRUE(form.CanClose);

  TsbDockForm quiet;  // no handlers: nothing happens
  quiet.BeginBusy();
  quiet.EndBusy();
}
