#pragma once
// The burning page on a session of its own, and its job run to its end as
// the wizard's event loop would run it: the page's run returns at once, and
// its end comes as a queued signal.

#include <QEventLoop>
#include <QTimer>

#include "engine/action_list.h"
#include "engine/burner.h"
#include "log/operation_log.h"
#include "pages/final_action_form.h"

/// A page on a burner session, with the wizard's log and action list.
struct PageOnSession {
  PageOnSession() {
    page.Log = &log;
    page.Actions = &actions;
  }
  ondrelle::TsbBurner burner;
  ondrelle::TsbLog log;
  ondrelle::TsbActionList actions;
  ondrelle::TfrmFinalAction page;
};

/// Starts the page's run and serves events until RunFinished; false when it
/// has not ended within `limitMs`.
inline bool RunToEnd(ondrelle::TfrmFinalAction& page, int limitMs = 120000) {
  QEventLoop loop;
  bool ended = false;
  const auto connection = QObject::connect(&page, &ondrelle::TfrmFinalAction::RunFinished, &loop, [&] {
    ended = true;
    loop.quit();
  });
  QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
  page.RunActions();
  if (!ended) loop.exec();
  QObject::disconnect(connection);
  return ended;
}
