#pragma once
/**
 * @file
 * Joliet identifiers: UCS-2, at most 64 characters, without the characters
 * Windows refuses in names.
 */

#include <string>
#include <string_view>

namespace emberline::image {

inline constexpr std::size_t kJolietMaxName = 64;

/// The Joliet name of a UTF-8 tree name.
std::u16string jolietName(std::string_view name);
/// A name written back by a caller, made valid again.
std::u16string jolietName(std::u16string_view name);
/// `name` with "_<counter>" before its extension, still within 64 characters.
std::u16string jolietNameWithCounter(std::u16string_view name, unsigned counter);
/// Joliet names differ only in case on Windows, so they collide when they fold alike.
bool jolietNamesCollide(std::u16string_view a, std::u16string_view b);
/// Free text as UCS-2, cut to `maxCharacters`.
std::u16string ucs2Text(std::string_view text, std::size_t maxCharacters);
/// An identifier (the volume label) as UCS-2, cut to `maxCharacters`, with
/// control characters and those Joliet forbids (* / : ; ? \) as "_".
std::u16string jolietIdentifier(std::string_view text, std::size_t maxCharacters);

}  // namespace emberline::image
