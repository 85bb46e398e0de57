#include "api/write_records.h"

#include <algorithm>
#include <cstring>

namespace emberline {

namespace {

std::uint32_t countAt(const std::uint8_t* record) {
  std::uint32_t count = 0;
  std::memcpy(&count, record, sizeof count);
  return count;
}

Status checkCount(std::uint32_t count, std::size_t maximum, const char* what) {
  if (count == 0 || count > maximum)
    return fail(ErrorKind::InvalidArgument, std::string(what) + " gives " + std::to_string(count) +
                                                " tracks; it must give 1 to " + std::to_string(maximum));
  return {};
}

/// The zero-terminated name in @p size bytes at @p at; fails when it has no terminator or is empty.
Result<std::string> nameAt(const std::uint8_t* at, std::size_t size, std::size_t track) {
  const auto* text = reinterpret_cast<const char*>(at);
  const std::size_t length = strnlen(text, size);
  if (length == size)
    return fail(ErrorKind::InvalidArgument, "the file name of track " + std::to_string(track) + " is not terminated");
  if (length == 0) return fail(ErrorKind::InvalidArgument, "track " + std::to_string(track) + " names no file");
  return std::string(text, length);
}

}  // namespace

Result<std::vector<SessionEntry>> parseSessionRecord(const std::uint8_t* record, bool fromTree) {
  using namespace session_record;
  if (record == nullptr) return fail(ErrorKind::InvalidArgument, "no session record given");
  const std::uint32_t count = countAt(record);
  EMBERLINE_TRY(checkCount(count, kMaxTracks, "the session record"));
  std::vector<SessionEntry> entries;
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t* entry = record + kEntryOffset + kEntrySize * k;
    SessionEntry e;
    if (fromTree) {
      std::uint32_t token = 0;
      std::memcpy(&token, entry + kTreeOffset, sizeof token);
      // Handles are tokens that fit 32 bits (see ObjectTable), so the field holds them whole.
      auto* handle = reinterpret_cast<EmberlineObject*>(static_cast<std::uintptr_t>(token));
      if (handle == nullptr)
        return fail(ErrorKind::InvalidArgument, "track " + std::to_string(k + 1) + " names no file tree");
      e.tree = handle;
    } else {
      auto name = nameAt(entry + kNameOffset, kNameSize, k + 1);
      if (!name.ok()) return fail(std::move(name).error());
      e.fileName = std::move(*name);
    }
    entries.push_back(std::move(e));
  }
  return entries;
}

Result<std::vector<std::string>> parseTrackList(const std::uint8_t* record) {
  using namespace track_list;
  if (record == nullptr) return fail(ErrorKind::InvalidArgument, "no track list given");
  const std::uint32_t count = countAt(record);
  EMBERLINE_TRY(checkCount(count, kMaxTracks, "the track list"));
  std::vector<std::string> names;
  for (std::size_t k = 0; k < count; ++k) {
    // The last entry's name field ends with the record.
    const std::size_t at = kNameOffset + kEntrySize * k;
    auto name = nameAt(record + at, std::min(kNameSize, kSize - at), k + 1);
    if (!name.ok()) return fail(std::move(name).error());
    names.push_back(std::move(*name));
  }
  return names;
}

}  // namespace emberline
