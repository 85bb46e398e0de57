#include "engine/action_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/action.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"

using namespace ondrelle;

namespace {

struct CountedAction : TsbAction {
  explicit CountedAction(int* alive) : alive_(alive) { ++*alive_; }
  ~CountedAction() override { --*alive_; }
  int* alive_;
};

std::vector<int> Owners(TsbActionList& list) {
  std::vector<int> owners;
  for (int i = 0; i < list.Count(); ++i) owners.push_back(list.Items(i).PageOwner);
  return owners;
}

void AddOwned(TsbActionList& list, std::initializer_list<int> owners) {
  for (int owner : owners) list.Add().PageOwner = owner;
}

}  // namespace

TEST(ActionList, NewListIsEmptyVerboseWithoutBurner) {
  TsbActionList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_TRUE(list.Verbose);
  EXPECT_EQ(list.Burner, nullptr);
  EXPECT_TRUE(list.Options.FileName.isEmpty());
  EXPECT_EQ(list.Options.Flags, 0);
  TsbActionItem& item = list.Add();
  EXPECT_EQ(item.Action, nullptr);
  EXPECT_EQ(item.PageOwner, 0);
  EXPECT_EQ(&item.Collection(), &list);
}

TEST(ActionListDeleteFromPage, RemovesFromTheFirstItemOfThePageToTheEnd) {
  TsbActionList list;
  AddOwned(list, {0, 2, 5, 2, 7});
  list.DeleteFromPage(3);
  EXPECT_EQ(Owners(list), (std::vector<int>{0, 2, 5, 2, 7}));
  list.DeleteFromPage(2);  // everything from position 1 on, whatever its owner
  EXPECT_EQ(Owners(list), (std::vector<int>{0}));
}

TEST(ActionList, ApplyMessageHandlerSkipsItemsWithoutAction) {
  TsbActionList list;
  int alive = 0;
  CountedAction action(&alive);
  list.Add();  // no action
  list.Add().Action = &action;
  std::vector<QString> seen;
  list.OnMessage = [&](const void*, const QString& m, TsbLogItemType) { seen.push_back(m); };
  list.ApplyMessageHandler();
  action.DoMessage(QStringLiteral("hello"), TsbLogItemType::litInfo);
  EXPECT_EQ(seen, std::vector<QString>{QStringLiteral("hello")});
}

TEST(ActionList, AssignCopiesActionAndPageAndTheListNeverFreesActions) {
  int alive = 0;
  auto action = std::make_unique<CountedAction>(&alive);
  {
    TsbActionList page;
    TsbActionItem& source = page.Add();
    source.Action = action.get();
    source.PageOwner = 4;

    TsbActionList wizard;
    TsbActionItem& copy = wizard.Add();
    copy.Assign(source);
    EXPECT_EQ(copy.Action, action.get());
    EXPECT_EQ(copy.PageOwner, 4);
    EXPECT_EQ(&copy.Collection(), &wizard);  // the item stays with its own list
    wizard.DeleteFromPage(4);
    EXPECT_EQ(alive, 1);
  }
  EXPECT_EQ(alive, 1);
}

TEST(Action, ExecuteChecksTheItemTakesItsListAndReportsProgressZero) {
  TsbAction action;
  EXPECT_TRUE(action.Succeeded);
  EXPECT_EQ(action.ActionList, nullptr);
  try {
    action.Execute(nullptr);
    FAIL() << "no error for a missing item";
  } catch (const TsbError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Invalid action"));
  }

  TsbActionList list;
  TsbActionItem& item = list.Add();
  item.Action = &action;
  std::vector<int> progress;
  CallBackEventer().OnProgress = [&](TsbCallBackEventer&, int p) { progress.push_back(p); };
  action.Execute(&item);
  CallBackEventer().OnProgress = nullptr;
  EXPECT_EQ(action.ActionList, &list);
  EXPECT_EQ(progress, std::vector<int>{0});
}

TEST(Action, DoMessageNamesTheActionAndRelayDropsTheOriginalSender) {
  TsbAction action;
  EXPECT_NO_THROW(action.DoMessage(QStringLiteral("nobody listens"), TsbLogItemType::litInfo));
  const void* sender = nullptr;
  QString text;
  TsbLogItemType kind = TsbLogItemType::litInfo;
  action.OnMessage = [&](const void* s, const QString& m, TsbLogItemType k) {
    sender = s;
    text = m;
    kind = k;
  };
  int other = 0;
  action.RelayMessage(&other, QStringLiteral("from the session"), TsbLogItemType::litWarning);
  EXPECT_EQ(sender, &action);
  EXPECT_EQ(text, QStringLiteral("from the session"));
  EXPECT_EQ(kind, TsbLogItemType::litWarning);
}
