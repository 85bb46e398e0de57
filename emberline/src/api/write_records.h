#pragma once
// The fixed-layout records callers describe multi-track recordings with.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"
#include "emberline/emberline.h"

namespace emberline {

/// Session description record: count, then 287-byte entries.
namespace session_record {
inline constexpr std::size_t kSize = 29108;
inline constexpr std::size_t kMaxTracks = 101;
inline constexpr std::size_t kEntryOffset = 4;
inline constexpr std::size_t kEntrySize = 287;
inline constexpr std::size_t kNameOffset = 15;
inline constexpr std::size_t kNameSize = 279 - 15;
inline constexpr std::size_t kTreeOffset = 279;
}  // namespace session_record

/// Track list record: count, then 796-byte entries.
namespace track_list {
inline constexpr std::size_t kSize = 79604;
inline constexpr std::size_t kMaxTracks = 100;
inline constexpr std::size_t kEntryOffset = 4;
inline constexpr std::size_t kEntrySize = 796;
inline constexpr std::size_t kNameOffset = 13;  ///< from the start of the record, plus 796 per track
inline constexpr std::size_t kNameSize = 796;
}  // namespace track_list

/// One track of a session record: a file name or a tree handle, as the call asked.
struct SessionEntry {
  std::string fileName;
  EmberlineHandle tree = nullptr;
};

/// Decodes a session record; @p fromTree picks the tree handle, else the file name.
Result<std::vector<SessionEntry>> parseSessionRecord(const std::uint8_t* record, bool fromTree);

/// Decodes a track list record into its file names.
Result<std::vector<std::string>> parseTrackList(const std::uint8_t* record);

}  // namespace emberline
