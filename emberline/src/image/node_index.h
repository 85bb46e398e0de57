#pragma once
/// @file
/// Finds the entry a tree node was given in a list the caller keeps, in a
/// table of 32-bit entry numbers: a big tree's files cost a few bytes each
/// here, not a node of a hash map apiece.

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "image/tree_node.h"

namespace emberline::image {

class NodeIndex {
 public:
  /// Entry `entry` of the caller's list belongs to `node`. `nodeOf(i)` gives
  /// the node of entry i (null for entries no node owns).
  template <class NodeOf>
  void insert(const TreeNode* node, std::uint32_t entry, NodeOf nodeOf) {
    if ((std::size_t{entry} + 1) * 2 > slots_.size()) rebuild(std::size_t{entry} + 1, entry, nodeOf);
    place(node, entry);
  }

  template <class NodeOf>
  std::optional<std::uint32_t> find(const TreeNode* node, NodeOf nodeOf) const {
    if (slots_.empty()) return std::nullopt;
    for (std::size_t at = start(node);; at = (at + 1) & (slots_.size() - 1)) {
      if (slots_[at] == 0) return std::nullopt;
      if (nodeOf(slots_[at] - 1) == node) return slots_[at] - 1;
    }
  }

  /// Room for `entries` entries in all, so that the table is sized once;
  /// `known` entries are in the list already.
  template <class NodeOf>
  void reserve(std::size_t entries, std::uint32_t known, NodeOf nodeOf) {
    if (entries * 2 > slots_.size()) rebuild(entries, known, nodeOf);
  }

 private:
  std::size_t start(const TreeNode* node) const {
    // Nodes are heap blocks of at least 16 bytes: the low bits say nothing.
    const auto key = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(node) >> 4);
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & (slots_.size() - 1);
  }
  /// Room for `entries` with at most half the slots taken, refilled with the first `known` entries.
  template <class NodeOf>
  void rebuild(std::size_t entries, std::uint32_t known, NodeOf nodeOf) {
    std::size_t size = std::max<std::size_t>(64, slots_.size());
    while (size < entries * 2) size *= 2;
    slots_.assign(size, 0);
    for (std::uint32_t i = 0; i < known; ++i)
      if (const TreeNode* owner = nodeOf(i)) place(owner, i);
  }
  void place(const TreeNode* node, std::uint32_t entry) {
    std::size_t at = start(node);
    while (slots_[at] != 0) at = (at + 1) & (slots_.size() - 1);
    slots_[at] = entry + 1;  // 0 marks a free slot
  }

  std::vector<std::uint32_t> slots_;  ///< entry + 1, or 0; a power of two long
};

}  // namespace emberline::image
