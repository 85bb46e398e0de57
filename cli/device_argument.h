#pragma once
// Naming a device on the command line as the scan prints it: "CdRom0"
// (opened by name) or "host:channel:target:lun" (opened by address).

#include <QString>
#include <optional>

#include "devices/device_list.h"

namespace ondrelle {
class TsbBurner;
}

namespace ondrelle::cli {

struct DeviceArgument {
  TsbTransportType TransportType = TsbTransportType::ttSpti;
  QString DeviceName;
  TsbDeviceAddress Address{};
};

/// Nothing when the text is neither form.
std::optional<DeviceArgument> ParseDeviceArgument(const QString& text);

/// Makes `burner` open the device the argument names.
void SetDevice(TsbBurner& burner, const DeviceArgument& device);

/// The scan's name for an item: its name, or its address as "h:c:t:l".
QString DeviceArgumentText(const TsbDeviceItem& item);

}  // namespace ondrelle::cli
