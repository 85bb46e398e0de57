#pragma once
/// @file
/// The protocol every way of recording follows. The recorder calls, in
/// order: prepare, start, then per track beginTrack / writeData... /
/// endTrack, then finish; after any failure or a cancel, abort instead.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/result.h"
#include "write/disc_plan.h"
#include "write/drive_steps.h"
#include "write/medium_state.h"

namespace emberline::write {

class WriteStrategy {
 public:
  explicit WriteStrategy(DriveSteps& drive) : drive_(drive) {}
  virtual ~WriteStrategy() = default;
  WriteStrategy(const WriteStrategy&) = delete;
  WriteStrategy& operator=(const WriteStrategy&) = delete;

  /// Checks the medium against the plan and sets the drive up. Refusals
  /// happen here, before anything is written.
  virtual Status prepare(const DiscPlan& plan, const MediumState& medium) = 0;
  /// The last step before data: cue sheet, reservation.
  virtual Status start() { return {}; }
  /// Whatever precedes track @p index's data (its pregap).
  virtual Status beginTrack(std::size_t /*index*/) { return {}; }
  /// One chunk of the current track: @p blocks source blocks.
  virtual Status writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) = 0;
  virtual Status endTrack(std::size_t /*index*/) { return {}; }
  virtual Status finish() = 0;
  /// After a failure or cancel: stop, flush, and close what is open so the
  /// medium is left readable. Best effort; its own failures are not reported.
  virtual void abort() = 0;

 protected:
  DriveSteps& drive() { return drive_; }

 private:
  DriveSteps& drive_;
};

/// The strategy for @p plan's mode on @p medium, or a refusal saying why
/// the combination cannot be recorded.
Result<std::unique_ptr<WriteStrategy>> chooseStrategy(const DiscPlan& plan, const MediumState& medium,
                                                      DriveSteps& drive);

}  // namespace emberline::write
