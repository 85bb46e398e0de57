#include "log/operation_log.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

using ondrelle::TsbLog;

namespace {

TsbLog LogWithOwners(std::initializer_list<int> owners) {
  TsbLog log;
  int n = 0;
  for (int owner : owners) {
    auto& item = log.Add();
    item.PageOwner = owner;
    item.LogMessage = QStringLiteral("line %1").arg(n++);
  }
  return log;
}

std::vector<int> Owners(const TsbLog& log) {
  std::vector<int> owners;
  for (int i = 0; i < log.Count(); ++i) owners.push_back(log.Items(i).PageOwner);
  return owners;
}

}  // namespace

TEST(OperationLogDeleteFromPage, RemovesThatPageAndEverythingAfterIt) {
  TsbLog log = LogWithOwners({0, 2, 4, 4, 5});
  log.DeleteFromPage(4);
  EXPECT_EQ(Owners(log), (std::vector<int>{0, 2}));
}

TEST(OperationLogDeleteFromPage, PageWithoutLinesLeavesTheLogAlone) {
  TsbLog log = LogWithOwners({0, 2, 4, 4, 5});
  log.DeleteFromPage(3);
  EXPECT_EQ(Owners(log), (std::vector<int>{0, 2, 4, 4, 5}));
}

TEST(OperationLogDeleteFromPage, CutsAtTheFirstMatchWhateverFollows) {
  TsbLog log = LogWithOwners({2, 5, 2});
  log.DeleteFromPage(2);
  EXPECT_EQ(log.Count(), 0);
}

TEST(OperationLog, NewLineHasDefaultsAndKeepsInsertionOrder) {
  TsbLog log;
  auto& first = log.Add();
  EXPECT_TRUE(first.LogMessage.isEmpty());
  EXPECT_FALSE(first.LogTime.isValid());
  EXPECT_EQ(first.ItemType, ondrelle::TsbLogItemType::litInfo);
  EXPECT_EQ(first.PageOwner, 0);
  first.LogMessage = QStringLiteral("a");
  log.Add().LogMessage = QStringLiteral("b");
  EXPECT_EQ(log.Items(0).LogMessage, QStringLiteral("a"));
  EXPECT_EQ(log.Items(1).LogMessage, QStringLiteral("b"));
  log.Clear();
  EXPECT_EQ(log.Count(), 0);
}
