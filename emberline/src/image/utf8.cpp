#include "image/utf8.h"

namespace emberline::image {

char32_t nextCodePoint(std::string_view text, std::size_t& at) {
  const auto lead = static_cast<unsigned char>(text[at++]);
  if (lead < 0x80) return lead;
  int continuation = 0;
  char32_t value = 0;
  if ((lead & 0xE0) == 0xC0) {
    continuation = 1;
    value = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    continuation = 2;
    value = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    continuation = 3;
    value = lead & 0x07;
  } else {
    return kReplacement;
  }
  for (int i = 0; i < continuation; ++i) {
    if (at >= text.size()) return kReplacement;
    const auto next = static_cast<unsigned char>(text[at]);
    if ((next & 0xC0) != 0x80) return kReplacement;
    value = (value << 6) | (next & 0x3F);
    ++at;
  }
  return value > 0x10FFFF ? kReplacement : value;
}

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string utf8FromUcs2(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) appendUtf8(out, c);
  return out;
}

}  // namespace emberline::image
