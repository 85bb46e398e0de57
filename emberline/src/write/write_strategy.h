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
  /// Bytes per block of track @p index after encode(), when the host builds
  /// the blocks the drive is sent; 0 when the source's blocks go out as read.
  virtual std::size_t encodedBlockSize(std::size_t /*index*/) const { return 0; }
  /// Builds what the drive is sent for blocks @p first on of track @p index
  /// (@p in: source blocks, @p out: encodedBlockSize() bytes each). Called on
  /// the read-ahead thread while writeData() sends earlier blocks: it may use
  /// only what prepare() set.
  virtual void encode(std::size_t /*index*/, std::uint32_t /*first*/, std::span<const std::uint8_t> /*in*/,
                      std::span<std::uint8_t> /*out*/) const {}
  /// One chunk of the current track: @p blocks blocks, encoded when
  /// encodedBlockSize() says so, else as the source gave them.
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
