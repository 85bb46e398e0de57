#include "engine/video_file_action.h"

#include "engine/burner.h"
#include "engine/run_cancelled.h"
#include "engine/tsb_error.h"
#include "engine/video_burn_thread.h"
#include "strings/string_table.h"

namespace ondrelle {

TsbVideoFileAction::TsbVideoFileAction() {
  Stages = kDefaultStages;
}

TsbVideoFileAction::~TsbVideoFileAction() {
  pump_ = {};  // the windows the pump serves may be gone already
  WaitForThread();
}

void TsbVideoFileAction::WaitForThread() {
  if (!Thread) return;
  while (threadRunning_.load() && !Thread->WaitFor(WaitStep(pump_))) {
    if (pump_) pump_();
  }
  Thread.reset();  // joins the finished thread
}

void TsbVideoFileAction::ThreadDone() {
  threadRunning_ = false;
}

void TsbVideoFileAction::RelayThreadMessage(const void* /*sender*/, const QString& message, TsbLogItemType kind) {
  DoMessage(message, kind);
}

void TsbVideoFileAction::StartThread(TsbBurner& burner) {
  WaitForThread();
  pump_ = burner.EventPump();
  auto thread = std::make_unique<TsbVideoBurnThread>(burner, Options);
  thread->OnTerminate = [this](TsbCustomThread&) { ThreadDone(); };
  thread->OnMessage = [this](const void* sender, const QString& message, TsbLogItemType kind) {
    RelayThreadMessage(sender, message, kind);
  };
  threadRunning_ = true;
  Thread = std::move(thread);
  Thread->Start();
  WaitForThread();
}

void TsbVideoFileAction::Execute(TsbActionItem* item) {
  try {
    TsbStagedAction::Execute(item);
  } catch (const TsbRunCancelled& cancelled) {
    // Cancelled before a block was written: the disc is as it was.
    DoMessage(cancelled.Message(), TsbLogItemType::litInfo);
    return;
  }
  TsbBurner& b = Burner();
  StartThread(b);
  // A disc that failed its verify is closed and ejected all the same; the
  // run fails with the verify's words.
  const QString verifyFailure = b.VerifyFailed ? b.LastMessage : QString();
  if (!b.LastMessage.isEmpty() && !b.VerifyFailed) throw TsbError(b.LastMessage);
  if (!b.TestMode) CloseSession();
  Eject();
  if (!verifyFailure.isEmpty()) throw TsbError(verifyFailure);
  DoMessage(b.Cancelled ? LoadStr(15173) : LoadStr(15148), TsbLogItemType::litInfo);
}

}  // namespace ondrelle
