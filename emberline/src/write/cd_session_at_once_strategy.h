#pragma once
/// @file
/// Session at once on CD: the layout goes to the drive as a cue sheet, the
/// data is written from the first pregap at LBA -150, and the drive adds
/// lead-in and lead-out.

#include <cstdint>

#include "sector/cue_sheet.h"
#include "write/write_strategy.h"

namespace emberline::write {

class CdSessionAtOnceStrategy final : public WriteStrategy {
 public:
  using WriteStrategy::WriteStrategy;

  Status prepare(const DiscPlan& plan, const MediumState& medium) override;
  Status start() override;
  Status beginTrack(std::size_t index) override;
  Status writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) override;
  Status endTrack(std::size_t index) override;
  Status finish() override;
  void abort() override;

 private:
  /// Bytes a block of track @p index takes on its way to the drive.
  std::size_t blockSizeOf(std::size_t index) const;
  /// Fills @p blocks from next_ for track @p index: zeros, or empty Form 2
  /// sectors where the host sends whole sectors.
  Status writeGap(std::uint32_t blocks, std::size_t index);

  const DiscPlan* plan_ = nullptr;
  sector::DataDiscCue cue_;
  std::int32_t next_ = 0;
  bool started_ = false;
};

}  // namespace emberline::write
