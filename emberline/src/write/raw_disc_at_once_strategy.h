#pragma once
/// @file
/// Raw disc at once on a blank CD: the library builds every 2352-byte
/// sector (Mode 1 with EDC/ECC, or the caller's raw sectors) and appends the
/// P-Q (16 bytes) or raw P-W (96 bytes) sub-channel it generates.

#include <cstdint>
#include <vector>

#include "sector/cue_sheet.h"
#include "write/subchannel.h"
#include "write/write_strategy.h"

namespace emberline::write {

class RawDiscAtOnceStrategy final : public WriteStrategy {
 public:
  RawDiscAtOnceStrategy(DriveSteps& drive, bool fullSubchannel)
      : WriteStrategy(drive), fullSubchannel_(fullSubchannel) {}

  Status prepare(const DiscPlan& plan, const MediumState& medium) override;
  Status beginTrack(std::size_t index) override;
  std::size_t encodedBlockSize(std::size_t index) const override;
  void encode(std::size_t index, std::uint32_t first, std::span<const std::uint8_t> in,
              std::span<std::uint8_t> out) const override;
  Status writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) override;
  Status endTrack(std::size_t index) override;
  Status finish() override;
  void abort() override;

  /// Bytes per block sent to the drive.
  std::size_t blockSize() const;

 private:
  /// Builds the sector and sub-channel of @p lba into @p block (blockSize()
  /// bytes) from @p input: a user (2048) or raw (2352) sector, or null for zeros.
  void encodeBlock(std::int32_t lba, const std::uint8_t* input, std::size_t inputBlockSize, std::uint8_t* block) const;
  /// Encodes and sends @p count zero blocks from next_ on (pregaps and padding).
  Status sendZeros(std::uint32_t count);
  /// Sends @p count encoded blocks from next_ on.
  Status sendEncoded(std::span<const std::uint8_t> blocks, std::uint32_t count);
  SectorPosition positionOf(std::int32_t lba) const;

  bool fullSubchannel_;
  const DiscPlan* plan_ = nullptr;
  sector::DataDiscCue cue_;
  std::size_t track_ = 0;
  std::int32_t next_ = 0;
  bool started_ = false;
  std::vector<std::uint8_t> out_;
};

}  // namespace emberline::write
