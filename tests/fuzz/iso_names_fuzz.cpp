// ISO 9660 identifiers made from any name a source folder can hold: only
// d-characters (and one dot in a file name), within the limits of the level,
// also with a collision counter added. The first byte picks the kind of
// name, the level and the counter; the rest is the name.

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_files.h"
#include "image/iso_names.h"

using namespace emberline::image;

namespace {

bool dCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

void checkIdentifier(const std::string& id, bool directory, const IsoNameLimits& limits) {
  if (id.empty()) fuzz::broken("an empty identifier");
  if (directory) {
    if (id.size() > limits.maxDirectory) fuzz::broken("folder identifier too long: " + id);
    for (char c : id)
      if (!dCharacter(c)) fuzz::broken("not a d-character in folder identifier " + id);
    return;
  }
  const auto dot = id.find('.');
  if (dot == std::string::npos || id.find('.', dot + 1) != std::string::npos)
    fuzz::broken("a file identifier needs exactly one dot: " + id);
  const std::size_t base = dot, extension = id.size() - dot - 1;
  if (base > limits.maxBase || extension > limits.maxExtension || base + extension > limits.maxFileTotal)
    fuzz::broken("file identifier too long: " + id);
  if (base + extension == 0) fuzz::broken("a file identifier of a dot alone");
  for (char c : id)
    if (c != '.' && !dCharacter(c)) fuzz::broken("not a d-character in file identifier " + id);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const std::string_view name(reinterpret_cast<const char*>(data + 1), size - 1);
  const bool directory = (flags & 1) != 0;
  const IsoNameLimits& limits = (flags & 2) != 0 ? kLevel1Names : kLevel2Names;
  // Counters number the names that collide in one folder.
  const unsigned counter = flags >> 2;

  const std::string id = isoName(name, directory, limits);
  checkIdentifier(id, directory, limits);
  checkIdentifier(isoNameWithCounter(id, directory, counter, limits), directory, limits);
  checkIdentifier(isoNameWithCounter(id, directory, counter * 997 + 9999, limits), directory, limits);

  for (char c : toDCharacters(name))
    if (!dCharacter(c)) fuzz::broken("toDCharacters left a character that is not one");
  for (char c : toACharacters(name))
    if (!dCharacter(c) && std::string_view(" !\"%&'()*+,-./:;<=>?").find(c) == std::string_view::npos)
      fuzz::broken("toACharacters left a character that is not one");
  (void)isoIdentifierLess(name, id);
  (void)treeNameWithCounter(name, counter);
  return 0;
}
