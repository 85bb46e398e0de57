#pragma once
// The wait window a scan may show: a caption, an info line and a Cancel
// button. The wizard provides a real window; the CLI shows none.

#include <QString>
#include <chrono>
#include <functional>
#include <memory>

namespace ondrelle {

class TsbOperationProgress {
 public:
  virtual ~TsbOperationProgress() = default;
  virtual void SetCaption(const QString& caption) = 0;
  virtual void SetInfo(const QString& info) = 0;
  virtual void ShowCancel(bool visible) = 0;
  virtual void SetCancelHandler(std::function<void()> onCancel) = 0;
  virtual void Show() = 0;
  virtual void Hide() = 0;
};

using TsbOperationProgressFactory = std::function<std::unique_ptr<TsbOperationProgress>()>;

/// Lets a waiting UI thread keep its window alive: processes pending events
/// once. The CLI's pump does nothing.
using TsbEventPump = std::function<void()>;

/// A wait for a worker runs in 80 ms slices. With a pump, each slice is cut
/// into short steps with the pump between them, so the waiting UI thread
/// never goes more than a step without serving its windows.
inline constexpr std::chrono::milliseconds kWaitSlice{80};
inline constexpr std::chrono::milliseconds kPumpedWaitStep{10};

/// How long to wait on the worker before running the pump again.
inline std::chrono::milliseconds WaitStep(const TsbEventPump& pump) {
  return pump ? kPumpedWaitStep : kWaitSlice;
}

}  // namespace ondrelle
