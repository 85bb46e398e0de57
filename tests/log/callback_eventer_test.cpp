#include "log/callback_eventer.h"

#include <gtest/gtest.h>

using ondrelle::TsbCallBackEventer;

TEST(CallBackEventer, EmptySlotsSwallowEveryNotification) {
  TsbCallBackEventer eventer;
  EXPECT_NO_THROW({
    eventer.DoAddName(QStringLiteral("a"), 1);
    eventer.DoRemoveName(QStringLiteral("a"), 1);
    eventer.DoProgress(50);
    eventer.DoBufferStatus(50);
    eventer.DoCancelEnabled(true);
    eventer.DoImageFileStart();
  });
}

TEST(CallBackEventer, HandlersGetTheEventerAsSenderAndTheArguments) {
  TsbCallBackEventer eventer;
  TsbCallBackEventer* sender = nullptr;
  QString name;
  std::intptr_t param = 0;
  int progress = -1, buffer = -1, starts = 0;
  bool enabled = false;
  eventer.OnAddName = [&](TsbCallBackEventer& s, const QString& n, std::intptr_t p) {
    sender = &s;
    name = n;
    param = p;
  };
  eventer.OnProgress = [&](TsbCallBackEventer&, int v) { progress = v; };
  eventer.OnBufferStatus = [&](TsbCallBackEventer&, int v) { buffer = v; };
  eventer.OnCancelEnabled = [&](TsbCallBackEventer&, bool v) { enabled = v; };
  eventer.OnImageFileStart = [&](TsbCallBackEventer&) { ++starts; };

  eventer.DoAddName(QStringLiteral("VIDEO_TS"), 42);
  eventer.DoRemoveName(QStringLiteral("ignored"), 7);  // its slot is empty
  eventer.DoProgress(130);                             // capping is the handler's business
  eventer.DoBufferStatus(64);
  eventer.DoCancelEnabled(true);
  eventer.DoImageFileStart();

  EXPECT_EQ(sender, &eventer);
  EXPECT_EQ(name, QStringLiteral("VIDEO_TS"));
  EXPECT_EQ(param, 42);
  EXPECT_EQ(progress, 130);
  EXPECT_EQ(buffer, 64);
  EXPECT_TRUE(enabled);
  EXPECT_EQ(starts, 1);
}

TEST(CallBackEventer, AHandlersErrorReachesTheReporter) {
  TsbCallBackEventer eventer;
  eventer.OnProgress = [](TsbCallBackEventer&, int) { throw std::runtime_error("handler failed"); };
  EXPECT_THROW(eventer.DoProgress(1), std::runtime_error);
}

TEST(CallBackEventer, ThereIsOneProcessWideInstance) {
  EXPECT_EQ(&ondrelle::CallBackEventer(), &ondrelle::CallBackEventer());
}
