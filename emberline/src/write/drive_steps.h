#pragma once
/// @file
/// The drive commands a recording is made of, with the waiting real drives
/// need around them: a full buffer, a cache flush or a close still running.

#include <cstdint>
#include <functional>
#include <span>

#include "core/result.h"
#include "mmc/recording_commands.h"
#include "mmc/write_parameters_page.h"
#include "write/recording_context.h"

namespace emberline::write {

class DriveSteps {
 public:
  explicit DriveSteps(RecordingContext& context) : context_(context) {}

  RecordingContext& context() { return context_; }
  ScsiTransport& transport() { return context_.transport; }

  /// Waits until the drive is ready; @p honourCancel lets a cancel end the wait.
  Status waitReady(bool honourCancel);
  /// WRITE(10), retried while the drive reports its buffer busy.
  Status write(std::int32_t lba, std::uint16_t blocks, std::span<const std::uint8_t> data);
  /// Writes @p blocks zero-filled blocks of @p blockSize bytes from @p lba (gaps, padding).
  Status writeZeros(std::int32_t lba, std::uint32_t blocks, std::size_t blockSize);
  /// SYNCHRONIZE CACHE with Immed, then waits the flush out.
  Status flushCache();
  /// CLOSE TRACK/SESSION with Immed, then waits the close out.
  Status close(mmc::CloseFunction function, std::uint16_t track);
  /// Reads page 05h, lets @p shape set the mode, and selects it. When buffer
  /// underrun protection is wanted but the drive refuses the page with it, the
  /// page is selected without it.
  Status selectParameters(const std::function<void(mmc::WriteParameters&)>& shape, bool underrunProtection);
  /// As close, but a track or session the drive already closed itself is no failure.
  Status closeIfOpen(mmc::CloseFunction function, std::uint16_t track);
  /// Selects the page again without the test-write bit, so a simulation does
  /// not outlive the call.
  Status leaveTestMode();
  /// Ends a CD at-once recording that failed or was cancelled: flushes the
  /// drive's buffer, closes @p firstTrack and the session when anything was
  /// written for real (a disc left open reads in no player), and leaves test
  /// mode after a simulation. The recording has failed already, so what these
  /// steps answer changes nothing.
  void abandonCdAtOnce(std::uint16_t firstTrack, bool started, bool testMode);

 private:
  RecordingContext& context_;
};

}  // namespace emberline::write
