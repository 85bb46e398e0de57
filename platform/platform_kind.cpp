#include "platform/platform_kind.h"

#include <sys/utsname.h>

namespace ondrelle::platform {

int GetPlatformKind() {
  struct utsname system {};
  if (::uname(&system) != 0) return -1;
  return 1;
}

}  // namespace ondrelle::platform
