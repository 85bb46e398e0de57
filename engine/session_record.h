#pragma once
// The session description record the library's session-at-once call reads:
// a 32-bit track count, then up to 101 entries of 287 bytes; an entry holds
// its source file name at byte 15 and its file-tree handle at byte 279.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "emberline/writing.h"

namespace ondrelle {

struct TsbSessionRecord {
  static constexpr std::size_t kSize = EMBERLINE_SESSION_RECORD_SIZE;
  static constexpr std::size_t kEntrySize = 287;
  static constexpr std::size_t kMaxTracks = 101;
  static constexpr std::size_t kNameOffset = 15;
  static constexpr std::size_t kTreeOffset = 279;
  /// Name bytes an entry holds, its terminator included.
  static constexpr std::size_t kNameCapacity = kTreeOffset - kNameOffset;

  std::array<std::uint8_t, kSize> Bytes{};

  /// One track: the file tree.
  static TsbSessionRecord ForTree(EmberlineHandle tree);
  /// One track per file. Nothing, with `error` set, when the files do not
  /// fit: more than 101, or a name too long for its entry.
  static std::optional<TsbSessionRecord> ForFiles(const QStringList& files, QString& error);
};
static_assert(4 + TsbSessionRecord::kMaxTracks * TsbSessionRecord::kEntrySize <= TsbSessionRecord::kSize);

}  // namespace ondrelle
