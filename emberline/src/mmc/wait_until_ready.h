#pragma once
// Waiting for a drive that is busy loading, calibrating or finishing a write.

#include <chrono>
#include <functional>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

struct WaitOptions {
  std::chrono::milliseconds limit{std::chrono::seconds(60)};    ///< give up after this long
  std::chrono::milliseconds interval{std::chrono::milliseconds(250)};  ///< pause between polls
  std::function<bool()> cancelled;  ///< checked between polls; true ends the wait with ErrorKind::Cancelled
};

/// Polls TEST UNIT READY until the drive is ready. Waits out "becoming
/// ready", "operation in progress", "long write in progress" and "format in
/// progress"; retries once after each kind of unit attention (medium changed,
/// reset). No medium and every other sense end the wait at once with the
/// drive's error; running out of time gives a NotReady error carrying the last sense.
Status waitUntilReady(ScsiTransport& transport, const WaitOptions& options = {});

}  // namespace emberline::mmc
