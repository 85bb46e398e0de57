#pragma once
/**
 * @file
 * The system use of directory records: entries of the sharing protocol, as
 * many as a record holds, the rest in continuation areas the record's CE
 * entry points to. A folder's continuation areas lie in blocks of its own
 * after the folders; their sizes do not depend on where they go, so the
 * counting phase and the writing phase lay them out the same.
 */

#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "image/tree_node.h"

namespace emberline::image {

/// Entries of one record, each whole, one after another.
class SystemUseEntries {
 public:
  /// Starts an entry of `signature`, `length` bytes long with its four-byte header, version 1.
  std::span<std::uint8_t> add(const char (&signature)[3], std::size_t length);
  void clear() {
    bytes_.clear();
    ends_.clear();
  }
  std::span<const std::uint8_t> bytes() const { return bytes_; }
  const std::vector<std::uint32_t>& ends() const { return ends_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint32_t> ends_;  ///< where each entry ends
};

/// A folder's continuation areas while its records are laid out.
class ContinuationAreas {
 public:
  /// `lba`: where the folder's continuation blocks start (0 while counting).
  explicit ContinuationAreas(std::uint32_t lba) : lba_(lba) {}

  /// The record's system use: `fixed` first (bytes that are no entries, such
  /// as the CD-ROM XA field), then the entries; at most `room` bytes, the
  /// rest continued here.
  std::vector<std::uint8_t> place(std::span<const std::uint8_t> fixed, const SystemUseEntries& entries,
                                  std::size_t room);

  std::uint32_t bytes() const { return static_cast<std::uint32_t>(bytes_.size()); }
  /// The areas, padded to whole blocks.
  std::vector<std::uint8_t> take();

 private:
  void putContinuation(std::span<std::uint8_t> at, std::size_t offset, std::size_t length) const;

  std::uint32_t lba_;
  std::vector<std::uint8_t> bytes_;
};

/// One directory record as the system-use planner sees it.
struct SystemUseRecord {
  enum class Kind : std::uint8_t { Self, Parent, Entry };
  Kind kind = Kind::Entry;
  /// Null for what exists in the image only: the relocation folder, the boot catalogue.
  const TreeNode* node = nullptr;
  std::string_view name;  ///< Entry: its name
  bool directory = false;
  bool root = false;          ///< the root's own record, where the protocol is announced
  std::uint32_t folders = 0;  ///< a folder's subfolders
  std::time_t modified = 0;
  std::optional<std::uint32_t> childLink;   ///< where the folder this record stands for lies
  std::optional<std::uint32_t> parentLink;  ///< where the relocated folder's parent in the tree lies
  bool relocated = false;                   ///< the record of a folder moved out of its parent
  /// System-use bytes the record itself holds: a planner may split an entry
  /// so that its start fits there, for readers that do not follow continuations.
  std::size_t room = 0;
};

class SystemUsePlanner {
 public:
  virtual ~SystemUsePlanner() = default;
  /// Appends the entries of `record` to `out`.
  virtual void entries(const SystemUseRecord& record, SystemUseEntries& out) = 0;
};

}  // namespace emberline::image
