#pragma once
/// @file
/// Track at once on CD, incremental recording on DVD-R/-RW, sequential
/// recording on DVD+R and plain writing on overwritable DVD media: tracks
/// go to the next writable address one after the other.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "write/write_strategy.h"

namespace emberline::write {

/// How one medium family takes an incremental recording.
struct IncrementalRules {
  std::string mediumName;          ///< for messages
  bool usesParametersPage = true;  ///< DVD+ and overwritable media have no page 05h
  mmc::WriteType writeType = mmc::WriteType::TrackAtOnce;
  std::uint8_t trackMode = kCdDataTrackMode;
  bool canTestWrite = true;
  bool closesTracks = true;       ///< overwritable media need only the cache flushed
  std::uint32_t alignBlocks = 1;  ///< writes are padded with zeros to this many blocks
  /// DVD+R has no page 05h to say the disc is to be closed: a recording that
  /// leaves no room for another session closes the session and finalizes the disc.
  bool finalizesDisc = false;
  /// DVD+RW: a medium never formatted is formatted before the first write.
  bool formatsMedium = false;

  static IncrementalRules forFamily(MediumFamily family);
};

class IncrementalStrategy final : public WriteStrategy {
 public:
  IncrementalStrategy(DriveSteps& drive, IncrementalRules rules) : WriteStrategy(drive), rules_(std::move(rules)) {}

  Status prepare(const DiscPlan& plan, const MediumState& medium) override;
  Status start() override;
  Status writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) override;
  Status endTrack(std::size_t index) override;
  Status finish() override;
  void abort() override;

 private:
  IncrementalRules rules_;
  const DiscPlan* plan_ = nullptr;
  std::int32_t next_ = 0;
  std::uint16_t track_ = 1;
  bool trackOpen_ = false;
  bool anythingWritten_ = false;
  bool format_ = false;
  std::optional<std::uint32_t> layerBreak_;  ///< blocks of layer 0 to set before writing
  std::vector<std::uint8_t> padded_;
};

}  // namespace emberline::write
