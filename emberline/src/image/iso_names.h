#pragma once
/**
 * @file
 * ISO 9660 identifiers made from arbitrary (UTF-8) names: d-characters only,
 * upper case, within the limits of the interchange level.
 */

#include <cstdint>
#include <string>
#include <string_view>

namespace emberline::image {

/// Identifier length limits of one interchange level.
struct IsoNameLimits {
  std::size_t maxBase;       ///< file name part
  std::size_t maxExtension;  ///< file name extension
  std::size_t maxFileTotal;  ///< name + extension, without the separators
  std::size_t maxDirectory;  ///< directory identifier
};

/// Level 1 (8.3) limits.
inline constexpr IsoNameLimits kLevel1Names{8, 3, 11, 8};
/// Level 2 and 3 limits.
inline constexpr IsoNameLimits kLevel2Names{30, 29, 30, 31};

/// The ISO 9660 name of `name`: "BASE.EXT" for files (the dot always there,
/// the ";1" version not included), a dot-free identifier for directories.
std::string isoName(std::string_view name, bool directory, const IsoNameLimits& limits);

/// `isoName` with "_<counter>" at the end of the base, still within limits.
std::string isoNameWithCounter(std::string_view isoName, bool directory, unsigned counter, const IsoNameLimits& limits);

/// Free text reduced to a-characters (upper case), for descriptor fields.
std::string toACharacters(std::string_view text);
/// Free text reduced to d-characters (upper case), for the volume identifier.
std::string toDCharacters(std::string_view text);

/// ECMA-119 ordering of file identifiers: name, then extension, each as if
/// padded with spaces.
bool isoIdentifierLess(std::string_view a, std::string_view b);

/// A tree name with "_<counter>" before its extension, used when two entries share a tree path.
std::string treeNameWithCounter(std::string_view name, unsigned counter);

}  // namespace emberline::image
