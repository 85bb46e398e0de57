#pragma once
/// @file
/// Disc at once on a blank DVD-R/-RW: one track, reserved whole before the
/// first WRITE, then closed with the session.

#include <cstdint>
#include <vector>

#include "write/write_strategy.h"

namespace emberline::write {

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

}  // namespace emberline::write
