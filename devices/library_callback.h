#pragma once
// The one routine the program hands to the burning library. It runs on the
// thread that made the library call: the scan thread for found devices, a
// burn thread for progress and buffer fill.

#include <QString>
#include <cstdint>

namespace ondrelle {

/// Callback numbers the routine acts on.
enum : std::uint8_t {
  kCallbackNameAdded = 0,
  kCallbackNameRemoved = 1,
  kCallbackNameIgnored = 2,
  kCallbackNameCollision = 3,
  kCallbackNameCollisionSettled = 4,
  kCallbackFileLeftOut = 5,
  kCallbackDeviceFound = 10,
  kCallbackProgress = 12,
  kCallbackBufferFill = 13,
};

/// What progress a burn has passed on so far. A writer opened with a
/// TsbProgressState as its callback context keeps its own; calls without a
/// context share the process-wide LastProgress.
struct TsbProgressState {
  std::int64_t LastProgress = 0;  ///< the last whole percentage passed on
  /// When the byte counts were last passed on (steady clock, nanoseconds; 0 never).
  std::int64_t LastBytesAt = 0;
};

/// The progress state of callbacks that come without a context.
extern std::int64_t LastProgress;

/// How often at most the byte counts of progress are passed on: a writer
/// reports every few blocks, far more often than anyone can read.
inline constexpr std::int64_t kBytesReportIntervalNs = 100'000'000;

/// 2: warns that a source below a data tree's folder is left out (param1:
/// its path in the tree, param2: the reason).
/// 3: settles a name collision and warns of the change. 5: warns that a
/// file of a DVD-Video folder is left off the disc (param1: its name).
/// 10: probes the device (context: the TsbDeviceList; param1: its address
/// or none; param2: its name or none). 12: progress (context: the writer's
/// TsbProgressState or none; param1: 64-bit total, param2: 64-bit done). 13: buffer fill (param1: 32-bit size, param2:
/// 32-bit free part). Other numbers are ignored.
/// The warning line for a file of a DVD-Video folder that is not written.
QString LeftOutFileText(const QString& name);

/// The warning line for a source a data tree leaves out, with the reason the library gives.
QString IgnoredSourceText(const QString& treePath, const QString& reason);

void EmberlineCallBack(std::uint32_t number, void* context, void* param1, void* param2);

}  // namespace ondrelle
