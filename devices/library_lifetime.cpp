#include "devices/library_lifetime.h"

#include <QLoggingCategory>

#include "devices/tsb_error.h"
#include "emberline/emberline.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

Q_LOGGING_CATEGORY(lcLibrary, "ondrelle.library", QtWarningMsg)

namespace {
QString Hex8(std::uint32_t value) {
  return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}
}  // namespace

LibraryVersionCheck CheckLibraryVersion(std::uint32_t actual) {
  LibraryVersionCheck check;
  check.Matches = actual == kExpectedLibraryVersion;
  check.Message = check.Matches ? QStringLiteral("Emberline : libemberline version : 0x") + Hex8(actual)
                                : QStringLiteral("Emberline : Invalid libemberline version : 0x") + Hex8(actual) +
                                      QStringLiteral(". Expected : 0x") + Hex8(kExpectedLibraryVersion);
  return check;
}

LibraryVersionCheck CheckLoadedLibraryVersion() {
  return CheckLibraryVersion(Emberline_GetVersion());
}

LibraryVersionCheck ReportLibraryVersion() {
  const LibraryVersionCheck check = CheckLoadedLibraryVersion();
  if (check.Matches)
    qCDebug(lcLibrary).noquote() << check.Message;
  else
    qCWarning(lcLibrary).noquote() << check.Message;
  return check;
}

void StartLibrary() {
  Logger().WriteLog(QStringLiteral("StartUp"));
  const std::uint8_t code = Emberline_StartUp();
  if (code != 0) {
    const QString message = QStringLiteral("Emberline_StartUp() failed, exception %1").arg(code);
    Logger().WriteLog(message);
    throw TsbError(message);
  }
}

void ShutDownLibrary() noexcept {
  try {
    Emberline_ShutDown();
  } catch (...) {
    // The library is going away with the program; nothing can be done.
  }
}

}  // namespace ondrelle
