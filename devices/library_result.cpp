#include "devices/library_result.h"

#include <cstring>

#include "emberline/emberline.h"

namespace ondrelle {

QString EmberlineFailureText(const char* function, std::uint8_t code, std::uint32_t status, const char* text) {
  // The buffer is the library's: never read past its size, even without a NUL.
  const char* end = text != nullptr ? static_cast<const char*>(std::memchr(text, 0, EMBERLINE_TEXT_SIZE)) : nullptr;
  const qsizetype length = text == nullptr ? 0 : (end != nullptr ? end - text : EMBERLINE_TEXT_SIZE);
  return QStringLiteral("Emberline_%1() failed, exception %2, status %3, text \"%4\"")
      .arg(QLatin1String(function))
      .arg(code)
      .arg(static_cast<std::int32_t>(status))
      .arg(QString::fromLocal8Bit(text, length));
}

}  // namespace ondrelle
