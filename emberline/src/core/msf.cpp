#include "core/msf.h"

#include <cstdio>

namespace emberline {

std::string Msf::toString() const {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", minute, second, frame);
  return text;
}

}  // namespace emberline
