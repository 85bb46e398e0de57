#pragma once
/// @file
/// What a recording needs from the object it runs on: the drive, the
/// caller's cancel request and the progress reports.

#include <chrono>
#include <cstdint>
#include <functional>

#include "drive/drive.h"
#include "transport/scsi_transport.h"

namespace emberline::write {

struct RecordingContext {
  Drive& drive;
  ScsiTransport& transport;         ///< the drive's transport
  std::function<bool()> cancelled;  ///< true once the caller asked to stop
  /// Callback 12: bytes of the recording in all, bytes sent so far.
  std::function<void(std::uint64_t total, std::uint64_t done)> progress;
  /// Callback 13: drive buffer size and free bytes.
  std::function<void(std::uint32_t size, std::uint32_t free)> bufferState;
  /// Upper bound for waiting on the drive (ready, cache flush, close).
  std::chrono::milliseconds readyLimit{std::chrono::minutes(5)};
};

}  // namespace emberline::write
