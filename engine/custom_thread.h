#pragma once
// The base of the burn workers: it carries the burner session and a message
// event, and reports its own end on the worker thread, as its last act.

#include <QString>
#include <chrono>
#include <functional>

#include "log/log_item_type.h"
#include "platform/worker_thread.h"

namespace ondrelle {

class TsbBurner;

class TsbCustomThread {
 public:
  explicit TsbCustomThread(TsbBurner& burner);
  virtual ~TsbCustomThread() = default;
  TsbCustomThread(const TsbCustomThread&) = delete;
  TsbCustomThread& operator=(const TsbCustomThread&) = delete;

  void Start() { worker_.Start(); }
  /// True once Execute and the termination handler have run.
  bool WaitFor(std::chrono::milliseconds timeout) { return worker_.WaitFor(timeout); }

  /// Called on the worker thread when Execute has ended.
  std::function<void(TsbCustomThread&)> OnTerminate;
  TsbMessageEvent OnMessage;
  /// The session; cleared by the thread when Execute ends.
  TsbBurner* Burner;

 protected:
  /// The work; never raises (failures are left in the session).
  virtual void Execute() = 0;
  /// Passes a message to OnMessage with the thread as sender, on the worker thread.
  void DoMessage(const QString& message, TsbLogItemType kind);

 private:
  platform::WorkerThread worker_;
};

/// A worker that runs a given function; for small jobs and tests.
class TsbFunctionThread : public TsbCustomThread {
 public:
  TsbFunctionThread(TsbBurner& burner, std::function<void()> body) : TsbCustomThread(burner), body_(std::move(body)) {}

 protected:
  void Execute() override {
    if (body_) body_();
  }

 private:
  std::function<void()> body_;
};

}  // namespace ondrelle
