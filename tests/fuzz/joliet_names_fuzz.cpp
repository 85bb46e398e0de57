// Joliet names made from any UTF-8 name and from names a caller writes back
// as UCS-2: at most 64 characters, none Joliet forbids, also with a
// collision counter added; the volume label cut and cleaned the same way.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_files.h"
#include "image/joliet_names.h"

using namespace emberline::image;

namespace {

void checkName(const std::u16string& name, std::size_t maxCharacters, const char* what) {
  if (name.size() > maxCharacters) fuzz::broken(std::string(what) + ": too long");
  for (char16_t c : name) {
    if (c < 0x20 || c == u'*' || c == u'/' || c == u':' || c == u';' || c == u'?' || c == u'\\')
      fuzz::broken(std::string(what) + ": a character Joliet forbids");
    if (c >= 0xD800 && c <= 0xDFFF) fuzz::broken(std::string(what) + ": half a surrogate pair");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::u16string name = jolietName(text);
  if (name.empty()) fuzz::broken("an empty Joliet name");
  checkName(name, kJolietMaxName, "name");
  checkName(jolietNameWithCounter(name, static_cast<unsigned>(size)), kJolietMaxName, "name with a counter");
  if (!jolietNamesCollide(name, name)) fuzz::broken("a name does not collide with itself");

  std::u16string units(size / 2, u'\0');
  std::memcpy(units.data(), data, units.size() * 2);
  checkName(jolietName(std::u16string_view(units)), kJolietMaxName, "name written back");

  checkName(jolietIdentifier(text, 16), 16, "volume label");
  if (ucs2Text(text, 64).size() > 64) fuzz::broken("text longer than asked");
  return 0;
}
