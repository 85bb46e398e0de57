#pragma once
// Runs the burning page's job to its end, as the wizard's event loop would:
// the page's run returns at once, and its end comes as a queued signal.

#include <QEventLoop>
#include <QTimer>

#include "pages/final_action_form.h"

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
