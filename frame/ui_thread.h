#pragma once
// Carries an update to the thread of the widget it is meant for. Workers
// report progress, buffer fill, log lines and the Cancel button's state;
// only the UI thread may touch widgets, so from any other thread the update
// is posted (queued) and runs later in the UI thread's event loop.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <utility>

namespace ondrelle {

/// Runs `update` now when called on `context`'s thread, else queues it there.
/// A queued update is dropped when `context` is destroyed first.
template <typename Update>
void RunOnUiThread(QObject* context, Update&& update) {
  if (QThread::currentThread() == context->thread())
    update();
  else
    QMetaObject::invokeMethod(context, std::forward<Update>(update), Qt::QueuedConnection);
}

/// Runs the updates already queued for `context`, so that a direct update
/// made now cannot overtake earlier ones from a worker.
inline void FlushQueuedUpdates(QObject* context) {
  QCoreApplication::sendPostedEvents(context, QEvent::MetaCall);
}

}  // namespace ondrelle
