#pragma once
// The video wizard's action: the preparation stages, then the video burn
// thread (Video CD, Super Video CD or DVD-Video by the options' kind), then
// close and eject.

#include <atomic>
#include <memory>

#include "devices/operation_progress.h"
#include "engine/staged_action.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

class TsbVideoBurnThread;

class TsbVideoFileAction : public TsbStagedAction {
 public:
  TsbVideoFileAction();
  ~TsbVideoFileAction() override;

  void Execute(TsbActionItem* item) override;

  /// Returns once no video burn thread of this action runs; while waiting
  /// it keeps the session's UI alive in 80 ms slices.
  virtual void WaitForThread();
  /// The thread's termination handler; runs on the worker thread.
  virtual void ThreadDone();
  /// The thread's message handler; runs on the worker thread.
  virtual void RelayThreadMessage(const void* sender, const QString& message, TsbLogItemType kind);
  /// Runs a video burn thread for `burner` and this action's options, and
  /// returns when the burn has ended.
  void StartThread(TsbBurner& burner);

  bool ThreadRunning() const { return threadRunning_.load(); }

  /// Set by the disc type page (kind, fixed texts) and the wizard (source path).
  TsbVideoBurnOptions Options;
  /// The running burn thread; null when idle.
  std::unique_ptr<TsbVideoBurnThread> Thread;

 private:
  std::atomic<bool> threadRunning_{false};
  TsbEventPump pump_;
};

}  // namespace ondrelle
