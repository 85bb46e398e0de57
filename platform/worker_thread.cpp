#include "platform/worker_thread.h"

namespace ondrelle::platform {

WorkerThread::WorkerThread(std::function<void()> body, std::function<void()> onTerminate)
    : body_(std::move(body)), onTerminate_(std::move(onTerminate)), endedFuture_(ended_.get_future()) {}

WorkerThread::~WorkerThread() {
  if (thread_.joinable()) thread_.join();
}

void WorkerThread::Start() {
  thread_ = std::thread([this] {
    try {
      if (body_) body_();
    } catch (...) {
      // A worker never raises; bodies leave their failure where the owner reads it.
    }
    if (onTerminate_) onTerminate_();
    ended_.set_value();
  });
}

bool WorkerThread::WaitFor(std::chrono::milliseconds timeout) {
  if (!thread_.joinable()) return true;
  return endedFuture_.wait_for(timeout) == std::future_status::ready;
}

}  // namespace ondrelle::platform
