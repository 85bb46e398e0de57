#pragma once
// Where the system reaches a CD/DVD drive opened by name. On Linux the
// "drive letter" of a drive is its device node: "CdRom" N is /dev/srN.

#include <QString>

namespace ondrelle::platform {

/// The device node of a drive name ("CdRom0" -> "/dev/sr0") when the system
/// has such a node; empty otherwise (virtual writers have none).
QString DeviceNodeForName(const QString& name);

}  // namespace ondrelle::platform
