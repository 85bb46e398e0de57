#pragma once
// Probing one device found by the scan: open it, ask it for everything the
// wizard needs later, add one item to the list, close it again.

#include <QString>

#include "devices/device_list.h"

namespace ondrelle {

/// Adds one item to `devices` (or none when a device opened by name cannot
/// be opened). `address` is given for devices opened by address, `name`
/// for devices opened by name. Never throws to the scan thread.
void ProbeDevice(TsbDeviceList& devices, const TsbDeviceAddress* address, const char* name);

/// Where the system reaches the drive: its device node on Linux
/// ("/dev/sr0"), empty when it has none.
QString GetDriveLetter(const TsbDeviceAddress* address, const char* name);

}  // namespace ondrelle
