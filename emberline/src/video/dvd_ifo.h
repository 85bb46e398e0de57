#pragma once
/**
 * @file
 * The fields of the DVD-Video information files (VIDEO_TS.IFO and
 * VTS_nn_0.IFO) that fix where each file of a VIDEO_TS folder lies. Every
 * read is bounds-checked: a short, truncated or inconsistent file is refused
 * with a text that names it.
 */

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace emberline::video {

inline constexpr std::uint32_t kDvdSectorBytes = 2048;

/// How far the cells and VOBUs an information file lists reach into one group of VOBs (a menu VOB or a
/// title set's title VOBs), in sectors from the group's first sector. Zero: the file lists none.
struct DvdVobReach {
  std::uint32_t cellEnd = 0;  ///< one past the last sector of the furthest cell
  std::uint32_t vobuEnd = 0;  ///< one past the first sector of the furthest VOBU
  std::uint32_t end() const { return cellEnd > vobuEnd ? cellEnd : vobuEnd; }
};

/// The layout of one set (the video manager or a title set), in sectors from the start of its IFO.
struct DvdSetLayout {
  std::uint32_t ifoLastSector = 0;  ///< the IFO occupies sectors 0 to this
  std::uint32_t setLastSector = 0;  ///< the last sector of the set, which is the BUP's last
  std::uint32_t menuVobStart = 0;   ///< 0 when the set has no menu VOB
  std::uint32_t titleVobStart = 0;  ///< title sets only; 0 in the manager
  /// Title sets: the first sector of each cell of the title VOBs, from the start of the IFO, in order.
  std::vector<std::uint32_t> titleCellStarts;
  DvdVobReach menuReach;   ///< into the menu VOB
  DvdVobReach titleReach;  ///< into the title VOBs, which follow one another as one group

  std::uint32_t ifoSectors() const { return ifoLastSector + 1; }
  /// The BUP repeats the IFO and ends the set.
  std::uint32_t bupStart() const { return setLastSector - ifoLastSector; }
  std::uint64_t setSectors() const { return std::uint64_t{setLastSector} + 1; }
};

/// VIDEO_TS.IFO: its own layout and where each title set starts.
struct DvdManagerInfo {
  DvdSetLayout layout;
  /// Start of title set n + 1, in sectors from the start of VIDEO_TS.IFO.
  std::vector<std::uint32_t> titleSetStarts;
};

/// Reads VIDEO_TS.IFO from its whole contents; `name` is used in the error texts.
Result<DvdManagerInfo> readManagerInfo(std::span<const std::uint8_t> ifo, std::string_view name);
/// Reads a VTS_nn_0.IFO from its whole contents.
Result<DvdSetLayout> readTitleSetInfo(std::span<const std::uint8_t> ifo, std::string_view name);

}  // namespace emberline::video
