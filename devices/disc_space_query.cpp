#include "devices/disc_space_query.h"

#include <QLocale>
#include <cmath>
#include <cstdlib>

#include "devices/library_result.h"
#include "emberline/cdvd_writer.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

TsbDiscSpace QueryDiscSpace(const TsbDeviceItem& item) {
  TsbDiscSpace space;
  EmberlineHandle handle = nullptr;
  char text[EMBERLINE_TEXT_SIZE] = {};
  std::uint32_t status = 0;
  EmberlineFailureInfo failure{};
  if (item.TransportType == TsbTransportType::ttSpti) {
    const QByteArray name = item.DeviceName.toLocal8Bit();
    const std::uint8_t code = Emberline_CdvdWriter_CreateEx(&handle, text, EMBERLINE_TEXT_SIZE, &status, &failure,
                                                            nullptr, nullptr, name.constData(), 1);
    if (code != 0) {
      Logger().WriteLog(EmberlineFailureText("CdvdWriter_CreateEx", code, status, text));
      return space;
    }
  } else {
    const TsbDeviceAddress& a = item.Address;
    const std::uint8_t code = Emberline_CdvdWriter_Create(&handle, text, EMBERLINE_TEXT_SIZE, &status, &failure,
                                                          nullptr, nullptr, a.PortID, a.BusID, a.TargetID, a.LUN, 1);
    if (code != 0) {
      Logger().WriteLog(EmberlineFailureText("CdvdWriter_Create", code, status, text));
      return space;
    }
  }

  std::uint32_t freeCount = 0;
  std::uint64_t freeSize = 0;
  std::uint8_t code = Emberline_CdvdWriter_GetDiscFreeSpace(handle, 3, &freeCount, &freeSize);
  if (code != 0) {
    Logger().WriteLog(QStringLiteral("Emberline_CdvdWriter_GetDiscFreeSpace() failed, exception %1\"").arg(code));
    freeCount = 0;
    freeSize = 0;
  }
  std::uint64_t usedSize = 0;
  code = Emberline_CdvdWriter_GetDiscUsedSpace(handle, text, EMBERLINE_TEXT_SIZE, &status, &failure, &usedSize);
  if (code != 0) {
    Logger().WriteLog(EmberlineFailureText("CdvdWriter_GetDiscUsedSpace", code, status, text));
    usedSize = 0;
  }
  space.FreeSize = static_cast<std::int64_t>(freeSize);
  space.UsedSize = static_cast<std::int64_t>(usedSize);
  space.TotalSize = space.UsedSize + space.FreeSize;
  space.FreeCount = freeCount;
  Emberline_Destroy(&handle);
  return space;
}

QString UsedSizeText(std::int64_t usedSize) {
  const double megabytes = static_cast<double>(std::llabs(usedSize)) / 1048576.0;
  // Rounded to six significant digits first, then shown with two decimals.
  const double rounded = QString::number(megabytes, 'g', 6).toDouble();
  return QLocale::system().toString(rounded, 'f', 2) + QStringLiteral(" MB");
}

QString DiscSpaceText(const TsbDiscSpace& space) {
  // A disc whose sizes the drive would not tell (both 0) is not blank: a
  // reading drive with a pressed disc says nothing about free space.
  if (space.FreeSize == space.TotalSize && space.TotalSize > 0) return LoadStr(15162);
  return space.TotalSize > 0 ? UsedSizeText(space.UsedSize) : QString();
}

}  // namespace ondrelle
