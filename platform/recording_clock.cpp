#include "platform/recording_clock.h"

#include <cstdlib>

namespace ondrelle::platform {

QDateTime RecordingMoment() {
  const char* fixed = std::getenv("SOURCE_DATE_EPOCH");
  if (fixed != nullptr && *fixed != '\0') {
    char* end = nullptr;
    const long long seconds = std::strtoll(fixed, &end, 10);
    if (end != nullptr && *end == '\0' && seconds >= 0) return QDateTime::fromSecsSinceEpoch(seconds).toLocalTime();
  }
  return QDateTime::currentDateTime();
}

}  // namespace ondrelle::platform
