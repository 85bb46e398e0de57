#include "image/iso_names.h"

#include <algorithm>

#include "image/utf8.h"

namespace emberline::image {

namespace {

bool isDCharacter(char32_t c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

bool isACharacter(char32_t c) {
  if (isDCharacter(c) || c == ' ') return true;
  return std::u32string_view(U"!\"%&'()*+,-./:;<=>?").find(c) != std::u32string_view::npos;
}

char32_t upper(char32_t c) {
  return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

// Every code point becomes one character, so a name never grows or shrinks
// by its encoding and truncation cannot split a multi-byte sequence.
std::string mapped(std::string_view text, bool (*allowed)(char32_t)) {
  std::string out;
  std::size_t at = 0;
  while (at < text.size()) {
    const char32_t c = upper(nextCodePoint(text, at));
    out += allowed(c) ? static_cast<char>(c) : '_';
  }
  return out;
}

std::string_view trimmedRight(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

int comparePadded(std::string_view a, std::string_view b) {
  const std::size_t n = std::max(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    const auto ca = static_cast<unsigned char>(i < a.size() ? a[i] : ' ');
    const auto cb = static_cast<unsigned char>(i < b.size() ? b[i] : ' ');
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return 0;
}

struct SplitName {
  std::string_view base;
  std::string_view extension;
};

SplitName split(std::string_view name) {
  const std::size_t version = name.find(';');
  if (version != std::string_view::npos) name = name.substr(0, version);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return {name, {}};
  return {name.substr(0, dot), name.substr(dot + 1)};
}

std::string joinFile(std::string base, std::string extension, const IsoNameLimits& limits) {
  if (extension.size() > limits.maxExtension) extension.resize(limits.maxExtension);
  const std::size_t baseRoom = std::min(limits.maxBase, limits.maxFileTotal - extension.size());
  if (base.size() > baseRoom) base.resize(baseRoom);
  if (base.empty() && extension.empty()) base = "_";
  return base + "." + extension;
}

}  // namespace

std::string isoName(std::string_view name, bool directory, const IsoNameLimits& limits) {
  if (directory) {
    std::string id = mapped(name, isDCharacter);
    if (id.size() > limits.maxDirectory) id.resize(limits.maxDirectory);
    return id.empty() ? "_" : id;
  }
  const SplitName parts = split(name);
  return joinFile(mapped(parts.base, isDCharacter), mapped(parts.extension, isDCharacter), limits);
}

std::string isoNameWithCounter(std::string_view isoNameText, bool directory, unsigned counter,
                               const IsoNameLimits& limits) {
  const std::string tag = "_" + std::to_string(counter);
  if (directory) {
    std::string base(isoNameText.substr(0, limits.maxDirectory - std::min(limits.maxDirectory, tag.size())));
    return base + tag;
  }
  const SplitName parts = split(isoNameText);
  std::string extension(parts.extension.substr(0, limits.maxExtension));
  const std::size_t room = std::min(limits.maxBase, limits.maxFileTotal - extension.size());
  std::string base(parts.base.substr(0, room - std::min(room, tag.size())));
  return joinFile(base + tag, extension, limits);
}

std::string toACharacters(std::string_view text) {
  return mapped(text, isACharacter);
}
std::string toDCharacters(std::string_view text) {
  return mapped(text, isDCharacter);
}

bool isoIdentifierLess(std::string_view a, std::string_view b) {
  const SplitName pa = split(a);
  const SplitName pb = split(b);
  const int byBase = comparePadded(trimmedRight(pa.base), trimmedRight(pb.base));
  if (byBase != 0) return byBase < 0;
  return comparePadded(pa.extension, pb.extension) < 0;
}

std::string treeNameWithCounter(std::string_view name, unsigned counter) {
  const std::string tag = "_" + std::to_string(counter);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return std::string(name) + tag;
  return std::string(name.substr(0, dot)) + tag + std::string(name.substr(dot));
}

}  // namespace emberline::image
