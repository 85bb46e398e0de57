#include "cli/device_argument.h"

#include <QRegularExpression>

#include "engine/burner.h"

namespace ondrelle::cli {

std::optional<DeviceArgument> ParseDeviceArgument(const QString& text) {
  static const QRegularExpression address(QStringLiteral("^(\\d{1,3}):(\\d{1,3}):(\\d{1,3}):(\\d{1,3})$"));
  if (const QRegularExpressionMatch m = address.match(text); m.hasMatch()) {
    int parts[4];
    for (int i = 0; i < 4; ++i) {
      parts[i] = m.captured(i + 1).toInt();
      if (parts[i] > 255) return std::nullopt;
    }
    DeviceArgument device;
    device.TransportType = TsbTransportType::ttAspi;
    device.Address = {1, static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
                      static_cast<std::uint8_t>(parts[2]), static_cast<std::uint8_t>(parts[3])};
    return device;
  }
  static const QRegularExpression name(QStringLiteral("^CdRom\\d{1,3}$"));
  if (!name.match(text).hasMatch()) return std::nullopt;
  DeviceArgument device;
  device.DeviceName = text;
  return device;
}

void SetDevice(TsbBurner& burner, const DeviceArgument& device) {
  burner.TransportType = device.TransportType;
  burner.DeviceName = device.DeviceName;
  burner.DeviceAddress = device.Address;
}

QString DeviceArgumentText(const TsbDeviceItem& item) {
  if (item.TransportType == TsbTransportType::ttSpti) return item.DeviceName;
  const TsbDeviceAddress& a = item.Address;
  return QStringLiteral("%1:%2:%3:%4").arg(a.PortID).arg(a.BusID).arg(a.TargetID).arg(a.LUN);
}

}  // namespace ondrelle::cli
