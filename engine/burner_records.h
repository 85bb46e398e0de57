#pragma once
// The large records the burner session hands to the library and the image
// copy loop.

#include <array>
#include <cstdint>

#include "emberline/writing.h"

namespace ondrelle {

/// Burning mode codes, as the burning mode page produces them.
enum TsbBurnMode : std::uint8_t {
  bmTAOFromTree = 0,
  bmSAOFromTree = 1,
  bmDAOPQFromTree = 2,
  bmDAORawFromTree = 3,
  bmImageToFile = 4,
  bmDAOPQFromFile = 5,
  bmDAORawFromFile = 6,
  bmTAOFromFile = 7,
  bmSAOFromFile = 8,
};

/// State of the image-to-file copy loop (byte counts).
struct TsbImageCopy {
  std::int32_t FileHandle = -1;  ///< open target file, -1 when none
  std::int64_t FreeBytesAvailable = 0;
  std::int64_t TotalBytes = 0;
  std::int64_t Remaining = 0;
  std::int64_t TotalFreeBytes = 0;
  std::int64_t Total = 0;
  std::int64_t Chunk = 0;  ///< at most 65,536
  std::int64_t LastPercent = 0;
  std::int64_t Done = 0;
  std::int64_t Percent = 0;
};

/// The track list the library reads: a 32-bit track count, then up to 100
/// entries of 796 bytes; track k's NUL-terminated file name starts at byte
/// 13 + 796·k.
struct TsbTrackList {
  static constexpr std::size_t kSize = EMBERLINE_TRACK_LIST_SIZE;
  static constexpr std::size_t kEntrySize = 796;
  static constexpr std::size_t kMaxTracks = 100;
  static constexpr std::size_t kNameOffset = 13;
  static constexpr std::size_t kNameCapacity = kEntrySize - 9;  // up to the next entry's name

  std::array<std::uint8_t, kSize> Bytes{};
};
static_assert(4 + TsbTrackList::kMaxTracks * TsbTrackList::kEntrySize == TsbTrackList::kSize);

}  // namespace ondrelle
