#include "core/clock.h"

#include <cstdlib>

namespace emberline {

std::time_t recordingTime() {
  const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
  if (fixed != nullptr && *fixed != '\0') {
    char* end = nullptr;
    const long long seconds = std::strtoll(fixed, &end, 10);
    if (*end == '\0' && seconds >= 0) return static_cast<std::time_t>(seconds);
  }
  return std::time(nullptr);
}

}  // namespace emberline
