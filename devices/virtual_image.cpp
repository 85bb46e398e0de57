#include "devices/virtual_image.h"

#include <array>

#include "emberline/cdvd_writer.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {

// A path as long as the system allows.
constexpr std::size_t kPathSize = 4096;

}  // namespace

QString VirtualWriterImage(EmberlineHandle writer) {
  if (writer == nullptr) return {};
  std::array<char, kPathSize> path{};
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetVirtualImage"));
  if (Emberline_CdvdWriter_GetVirtualImage(writer, path.data(), static_cast<std::int32_t>(path.size())) != 0) return {};
  return QString::fromLocal8Bit(path.data());
}

}  // namespace ondrelle
