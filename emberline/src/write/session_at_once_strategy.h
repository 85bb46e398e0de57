#pragma once
/// @file
/// Session at once: CD with a cue sheet (written from the first pregap at
/// LBA -150, the drive adds lead-in and lead-out) and DVD-R disc at once
/// (one reserved track).

#include <cstdint>
#include <vector>

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
  const DiscPlan* plan_ = nullptr;
  sector::DataDiscCue cue_;
  std::int32_t next_ = 0;
  bool started_ = false;
};

class DvdDiscAtOnceStrategy final : public WriteStrategy {
 public:
  using WriteStrategy::WriteStrategy;

  Status prepare(const DiscPlan& plan, const MediumState& medium) override;
  Status start() override;
  Status writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) override;
  Status finish() override;
  void abort() override;

 private:
  Status closeAll();

  const DiscPlan* plan_ = nullptr;
  std::uint32_t reserved_ = 0;
  std::uint16_t track_ = 1;
  std::int32_t next_ = 0;
  bool started_ = false;
  std::vector<std::uint8_t> padded_;
};

/// The drive's form of a cue sheet built by sector::buildDataDiscCue.
Status sendDataDiscCue(ScsiTransport& transport, const sector::CueSheet& sheet);

}  // namespace emberline::write
