#pragma once

#include <QStringList>

namespace ondrelle::cli {

/// devices [--transport spti|aspi] [--all]: scans and prints one row per device.
int RunDevicesCommand(const QStringList& arguments);
/// speeds --device D: measures and prints the device's write speeds, fastest last.
int RunSpeedsCommand(const QStringList& arguments);

}  // namespace ondrelle::cli
