#include "engine/burn_job.h"

#include <atomic>

#include "engine/action.h"
#include "engine/action_list.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "platform/worker_thread.h"

namespace ondrelle {

struct TsbBurnJob::Worker {
  explicit Worker(TsbBurnJob& job) : thread([&job] { job.Run(); }, [this] { running = false; }) {}
  std::atomic<bool> running{false};
  platform::WorkerThread thread;
};

TsbBurnJob::TsbBurnJob(TsbActionList& actions, TsbBurner& burner, QObject* parent)
    : QObject(parent), actions_(actions), burner_(burner) {
  qRegisterMetaType<TsbBurnStep>();
  qRegisterMetaType<TsbBurnOutcome>();
  qRegisterMetaType<TsbLogItemType>();
}

TsbBurnJob::~TsbBurnJob() {
  Wait();
}

void TsbBurnJob::Start() {
  if (worker_) return;
  worker_ = std::make_unique<Worker>(*this);
  worker_->running = true;
  worker_->thread.Start();
}

void TsbBurnJob::Wait() {
  if (!worker_) return;
  while (!worker_->thread.WaitFor(std::chrono::milliseconds(100))) {
  }
}

bool TsbBurnJob::Running() const {
  return worker_ && worker_->running.load();
}

void TsbBurnJob::Cancel() {
  if (Running()) burner_.Cancel();
}

void TsbBurnJob::Run() {
  actions_.OnMessage = [this](const void*, const QString& text, TsbLogItemType kind) { emit Message(text, kind); };
  actions_.OnStep = [this](TsbBurnStep step) { emit StepChanged(step); };
  actions_.ApplyMessageHandler();
  actions_.Burner = &burner_;
  bool failed = false;
  QString failure;
  for (int i = 0; i < actions_.Count() && !failed; ++i) {
    TsbActionItem& item = actions_.Items(i);
    if (item.Action == nullptr) continue;
    try {
      item.Action->Execute(&item);
    } catch (const TsbError& error) {
      failed = true;
      failure = error.Message();
    } catch (const std::exception& error) {
      failed = true;
      failure = QString::fromLocal8Bit(error.what());
    }
  }
  // The handlers point into this job: none is left behind it.
  actions_.Burner = nullptr;
  actions_.OnStep = nullptr;
  actions_.OnMessage = nullptr;
  actions_.ApplyMessageHandler();
  failure_ = failure;
  if (failed)
    outcome_ = TsbBurnOutcome::Failed;
  else
    outcome_ = burner_.Cancelled ? TsbBurnOutcome::Cancelled : TsbBurnOutcome::Succeeded;
  emit Finished(outcome_, failure_);
}

}  // namespace ondrelle
