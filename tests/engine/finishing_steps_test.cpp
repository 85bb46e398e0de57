// Closing the session and ejecting, as every burning action ends.

#include <gtest/gtest.h>

#include <vector>

#include "action_run.h"
#include "engine/action.h"
#include "engine/burner.h"
#include "log/callback_eventer.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

struct Finisher {
  explicit Finisher(TsbBurner& burner) {
    list.Burner = &burner;
    item = &list.Add();
    item->Action = &action;
    action.OnMessage = [this](const void*, const QString& m, TsbLogItemType k) { messages.push_back({m, k}); };
    action.Execute(item);
  }
  TsbActionList list;
  TsbActionItem* item;
  TsbAction action;
  std::vector<std::pair<QString, TsbLogItemType>> messages;
};

}  // namespace

TEST(FinishingSteps, CloseSessionReportsProgress100AndItsMessage) {
  VirtualWriters writers(nullptr);
  TsbBurner burner;
  OpenVirtualWriter(burner);
  Finisher finisher(burner);
  std::vector<int> progress;
  CallBackEventer().OnProgress = [&](TsbCallBackEventer&, int p) { progress.push_back(p); };
  finisher.action.CloseSession();
  CallBackEventer().OnProgress = nullptr;
  EXPECT_EQ(progress, std::vector<int>{100});
  ASSERT_FALSE(finisher.messages.empty());
  EXPECT_EQ(finisher.messages.front().first, QStringLiteral("Closing session"));
  EXPECT_EQ(finisher.messages.size(), 1u) << "a close failure is logged, never shown";
}

TEST(FinishingSteps, AFailedCloseIsKeptWithTheLiteralBackslashNButNeitherShownNorRaised) {
  VirtualWriters writers(nullptr);
  TsbBurner burner;  // no device object: the close fails
  Finisher finisher(burner);
  EXPECT_NO_THROW(finisher.action.CloseSession());
  ASSERT_EQ(finisher.messages.size(), 1u);
  EXPECT_EQ(finisher.messages[0].first, QStringLiteral("Closing session"));
  EXPECT_TRUE(burner.LastMessage.startsWith(QStringLiteral("Emberline_CdvdWriter_CloseSession() failed, exception ")));
  EXPECT_TRUE(burner.LastMessage.endsWith(QStringLiteral("\\n")));
}

TEST(FinishingSteps, EjectReleasesTheTrayFirstAndSaysSo) {
  VirtualWriters writers(nullptr);
  TsbBurner burner;
  OpenVirtualWriter(burner);
  burner.Lock();
  Finisher finisher(burner);
  finisher.action.Eject();
  ASSERT_EQ(finisher.messages.size(), 1u);
  EXPECT_EQ(finisher.messages[0].first, QStringLiteral("Eject disc"));
  EXPECT_EQ(finisher.messages[0].second, TsbLogItemType::litInfo);
}

TEST(FinishingSteps, AFailedEjectIsAnErrorMessageAndStaysInLastMessage) {
  VirtualWriters writers(nullptr);
  TsbBurner burner;  // no device object: the eject fails
  Finisher finisher(burner);
  EXPECT_NO_THROW(finisher.action.Eject());
  ASSERT_EQ(finisher.messages.size(), 1u);
  EXPECT_EQ(finisher.messages[0].second, TsbLogItemType::litError);
  EXPECT_TRUE(finisher.messages[0].first.startsWith(QStringLiteral("Emberline_CdvdWriter_Eject() failed, exception ")));
  EXPECT_EQ(burner.LastMessage, finisher.messages[0].first);
}
