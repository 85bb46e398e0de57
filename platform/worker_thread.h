#pragma once
// A worker thread that is created idle, runs one body, tells its owner when
// it ends (on its own thread, as its last act), and can be waited for with
// a time-out. Destroying it joins the thread.

#include <chrono>
#include <functional>
#include <future>
#include <thread>

namespace ondrelle::platform {

class WorkerThread {
 public:
  WorkerThread(std::function<void()> body, std::function<void()> onTerminate);
  ~WorkerThread();
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  void Start();
  /// Waits at most `timeout`; true once the body and the termination handler have run.
  bool WaitFor(std::chrono::milliseconds timeout);

 private:
  std::function<void()> body_;
  std::function<void()> onTerminate_;
  std::promise<void> ended_;
  std::future<void> endedFuture_;
  std::thread thread_;
};

}  // namespace ondrelle::platform
