#pragma once
// Disc space of a device's inserted disc, as the device page shows it.

#include <QString>

#include "devices/device_list.h"

namespace ondrelle {

/// Opens the item's device briefly and reads its free and used space; a
/// device that cannot be opened or asked gives zeros (the failure is logged).
TsbDiscSpace QueryDiscSpace(const TsbDeviceItem& item);

/// "700.00 MB": the used size in MiB with two decimals.
QString UsedSizeText(std::int64_t usedSize);

/// The size column: "Blank" for an unwritten disc, the used size when the
/// disc has any, else empty.
QString DiscSpaceText(const TsbDiscSpace& space);

}  // namespace ondrelle
