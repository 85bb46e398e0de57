#include "devices/library_callback.h"

#include <algorithm>
#include <chrono>

#include "devices/device_list.h"
#include "devices/device_probe.h"
#include "devices/name_collision.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

std::int64_t LastProgress = 0;

namespace {

std::int64_t LastBytesAt = 0;

void OnProgressBytes(std::int64_t& lastAt, std::uint64_t total, std::uint64_t done) {
  const std::int64_t now =
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
  // The first report and the last always pass: the first starts the clock, the last ends at the total.
  if (lastAt != 0 && done < total && now - lastAt < kBytesReportIntervalNs) return;
  lastAt = now;
  CallBackEventer().DoProgressBytes(total, done);
}

void OnProgress(std::int64_t& last, std::int64_t& lastBytesAt, const void* totalPointer, const void* donePointer) {
  if (totalPointer == nullptr || donePointer == nullptr) return;
  const auto total = *static_cast<const std::uint64_t*>(totalPointer);
  const auto done = *static_cast<const std::uint64_t*>(donePointer);
  // A zero total has no percentage; pass nothing on rather than divide by it.
  if (total == 0) return;
  OnProgressBytes(lastBytesAt, total, done);
  const auto percent = static_cast<std::int64_t>(done * 100 / total);
  if (percent == last) return;
  last = percent;
  CallBackEventer().DoProgress(static_cast<std::int32_t>(percent));
}

void OnBufferFill(const void* sizePointer, const void* freePointer) {
  if (sizePointer == nullptr || freePointer == nullptr) return;
  const auto size = *static_cast<const std::uint32_t*>(sizePointer);
  const auto freePart = *static_cast<const std::uint32_t*>(freePointer);
  if (size == 0) return;
  // Widened: in 32 bits free × 100 wraps for buffers above 40 MB, and a
  // free part larger than the size would wrap the subtraction.
  const std::uint64_t freePercent = std::min<std::uint64_t>(std::uint64_t{freePart} * 100u / size, 100u);
  const auto used = static_cast<std::uint32_t>(100u - freePercent);
  CallBackEventer().DoBufferStatus(static_cast<std::int32_t>(used));
}

}  // namespace

QString LeftOutFileText(const QString& name) {
  return QStringLiteral("%1 in the VIDEO_TS folder is not part of the DVD-Video structure: it is left off the disc")
      .arg(name);
}

QString IgnoredSourceText(const QString& treePath, const QString& reason) {
  if (reason.isEmpty()) return QStringLiteral("%1 is left out: it cannot be written to a disc").arg(treePath);
  return QStringLiteral("%1 is left out: it is %2").arg(treePath, reason);
}

void EmberlineCallBack(std::uint32_t number, void* context, void* param1, void* param2) {
  switch (static_cast<std::uint8_t>(number)) {
    case kCallbackNameAdded:
    case kCallbackNameRemoved: {
      const bool added = number == kCallbackNameAdded;
      const QString name = param1 != nullptr ? QString::fromLocal8Bit(static_cast<const char*>(param1)) : QString();
      const auto passOn = reinterpret_cast<std::intptr_t>(param2);
      if (added)
        CallBackEventer().DoAddName(name, passOn);
      else
        CallBackEventer().DoRemoveName(name, passOn);
      // Without a context there is no count to keep.
      if (context != nullptr) *static_cast<std::int32_t*>(context) += added ? 1 : -1;
      break;
    }
    case kCallbackNameIgnored:
      if (param1 != nullptr) {
        // A FIFO, device or socket among the sources, or a link back to a
        // folder above it, is not written; the user hears of it.
        const QString warning =
            IgnoredSourceText(QString::fromLocal8Bit(static_cast<const char*>(param1)),
                              param2 != nullptr ? QString::fromLocal8Bit(static_cast<const char*>(param2)) : QString());
        Logger().WriteLog(warning);
        CallBackEventer().DoWarning(warning);
      }
      break;
    case kCallbackNameCollision:
      if (param1 != nullptr) ResolveNameCollision(*static_cast<EmberlineNameCollision*>(param1));
      break;
    case kCallbackNameCollisionSettled:
      if (param1 != nullptr) {
        // Nothing changes name silently: every rename and merge is a warning, told once the
        // library has settled it, so it names what the image holds.
        const QString change = NameCollisionText(*static_cast<const EmberlineNameCollision*>(param1));
        Logger().WriteLog(change);
        CallBackEventer().DoWarning(change);
      }
      break;
    case kCallbackFileLeftOut:
      if (param1 != nullptr) {
        // Nothing in the source goes missing silently either.
        const QString warning = LeftOutFileText(QString::fromLocal8Bit(static_cast<const char*>(param1)));
        Logger().WriteLog(warning);
        CallBackEventer().DoWarning(warning);
      }
      break;
    case kCallbackDeviceFound:
      if (context != nullptr)
        ProbeDevice(*static_cast<TsbDeviceList*>(context), static_cast<const TsbDeviceAddress*>(param1),
                    static_cast<const char*>(param2));
      break;
    case kCallbackProgress:
      if (context != nullptr) {
        auto& state = *static_cast<TsbProgressState*>(context);
        OnProgress(state.LastProgress, state.LastBytesAt, param1, param2);
      } else {
        OnProgress(LastProgress, LastBytesAt, param1, param2);
      }
      break;
    case kCallbackBufferFill:
      OnBufferFill(param1, param2);
      break;
    default:
      break;
  }
}

}  // namespace ondrelle
