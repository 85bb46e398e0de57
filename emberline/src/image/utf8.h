#pragma once
/// @file Decoding UTF-8 names one code point at a time; broken bytes become U+FFFD.

#include <cstddef>
#include <string>
#include <string_view>

namespace emberline::image {

inline constexpr char32_t kReplacement = 0xFFFD;

/// The code point at `at`, advancing `at` past it.
char32_t nextCodePoint(std::string_view text, std::size_t& at);
/// UTF-8 encoding of one code point.
void appendUtf8(std::string& out, char32_t c);
/// UTF-8 of a UCS-2 string.
std::string utf8FromUcs2(std::u16string_view text);

}  // namespace emberline::image
