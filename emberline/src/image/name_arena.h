#pragma once
/**
 * @file
 * Append-only storage for the many short names of a file tree: one heap
 * block holds thousands of them, and what it hands out stays where it is
 * for the arena's life, moves of the arena included.
 */

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

namespace emberline::image {

template <class Char>
class TextPool {
 public:
  std::basic_string_view<Char> store(std::basic_string_view<Char> text) {
    if (text.empty()) return {};
    if (text.size() > kChunkUnits / 4) {
      // A long text gets a block of its own rather than leave most of a chunk unused.
      auto own = std::make_unique_for_overwrite<Char[]>(text.size());
      std::copy(text.begin(), text.end(), own.get());
      const std::basic_string_view<Char> stored(own.get(), text.size());
      own_.push_back(std::move(own));
      return stored;
    }
    if (chunks_.empty() || text.size() > kChunkUnits - used_) {
      chunks_.push_back(std::make_unique_for_overwrite<Char[]>(kChunkUnits));
      used_ = 0;
    }
    Char* at = chunks_.back().get() + used_;
    std::copy(text.begin(), text.end(), at);
    used_ += text.size();
    return {at, text.size()};
  }

 private:
  static constexpr std::size_t kChunkUnits = 16384;
  std::vector<std::unique_ptr<Char[]>> chunks_;
  std::vector<std::unique_ptr<Char[]>> own_;  ///< long texts, one block each
  std::size_t used_ = 0;                      ///< units taken in the last chunk
};

/// Names in UTF-8 and in UTF-16, for a tree or a hierarchy.
class NameArena {
 public:
  std::string_view store(std::string_view text) { return bytes_.store(text); }
  std::u16string_view store(std::u16string_view text) { return units_.store(text); }

 private:
  TextPool<char> bytes_;
  TextPool<char16_t> units_;
};

}  // namespace emberline::image
