#pragma once
// Waiting for a drive that is busy loading, calibrating or finishing a write.

#include <chrono>
#include <functional>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

struct WaitOptions {
  std::chrono::milliseconds limit{std::chrono::seconds(60)};  ///< give up after this long
  /// The first pause between polls; each following pause doubles, up to `interval`.
  /// A drive that is done at once costs little, one that takes minutes is not hammered.
  std::chrono::milliseconds firstInterval{std::chrono::milliseconds(2)};
  std::chrono::milliseconds interval{std::chrono::milliseconds(250)};  ///< the longest pause between polls
  std::function<bool()> cancelled;  ///< checked between polls; true ends the wait with ErrorKind::Cancelled
};

/// Polls TEST UNIT READY until the drive is ready. Waits out "becoming
/// ready", "operation in progress", "long write in progress" and "format in
/// progress"; retries once after each kind of unit attention (medium changed,
/// reset). No medium and every other sense end the wait at once with the
/// drive's error; running out of time gives a NotReady error carrying the last sense.
Status waitUntilReady(ScsiTransport& transport, const WaitOptions& options = {});

}  // namespace emberline::mmc
