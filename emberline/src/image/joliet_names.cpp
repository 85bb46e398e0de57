#include "image/joliet_names.h"

#include <algorithm>

#include "image/utf8.h"

namespace emberline::image {

namespace {

char16_t allowed(char32_t c) {
  if (c < 0x20 || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) return u'_';
  if (std::u32string_view(U"*/:;?\\").find(c) != std::u32string_view::npos) return u'_';
  return static_cast<char16_t>(c);
}

// Cuts a long name at the base, so the extension that tells what the file is survives.
std::u16string limited(std::u16string name) {
  if (name.size() <= kJolietMaxName) return name;
  const std::size_t dot = name.rfind(u'.');
  if (dot == std::u16string::npos || dot == 0 || name.size() - dot > 16) {
    name.resize(kJolietMaxName);
    return name;
  }
  const std::u16string extension = name.substr(dot);
  return name.substr(0, kJolietMaxName - extension.size()) + extension;
}

char16_t folded(char16_t c) {
  return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

}  // namespace

std::u16string jolietName(std::string_view name) {
  std::u16string out;
  std::size_t at = 0;
  while (at < name.size()) out += allowed(nextCodePoint(name, at));
  if (out.empty()) out = u"_";
  return limited(std::move(out));
}

std::u16string jolietName(std::u16string_view name) {
  std::u16string out;
  for (char16_t c : name) out += allowed(c);
  if (out.empty()) out = u"_";
  return limited(std::move(out));
}

std::u16string jolietNameWithCounter(std::u16string_view name, unsigned counter) {
  std::u16string tag = u"_";
  for (char c : std::to_string(counter)) tag += static_cast<char16_t>(c);
  const std::size_t dot = name.rfind(u'.');
  std::u16string base(dot == std::u16string_view::npos || dot == 0 ? name : name.substr(0, dot));
  std::u16string extension(dot == std::u16string_view::npos || dot == 0 ? std::u16string_view{} : name.substr(dot));
  if (extension.size() > 16) extension.resize(16);
  const std::size_t room = kJolietMaxName - extension.size() - tag.size();
  if (base.size() > room) base.resize(room);
  return base + tag + extension;
}

bool jolietNamesCollide(std::u16string_view a, std::u16string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char16_t x, char16_t y) { return folded(x) == folded(y); });
}

std::u16string ucs2Text(std::string_view text, std::size_t maxCharacters) {
  std::u16string out;
  std::size_t at = 0;
  while (at < text.size() && out.size() < maxCharacters) {
    const char32_t c = nextCodePoint(text, at);
    out += (c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) ? u'_' : static_cast<char16_t>(c);
  }
  return out;
}

std::u16string jolietIdentifier(std::string_view text, std::size_t maxCharacters) {
  std::u16string out;
  std::size_t at = 0;
  while (at < text.size() && out.size() < maxCharacters) out += allowed(nextCodePoint(text, at));
  return out;
}

}  // namespace emberline::image
