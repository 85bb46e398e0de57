#pragma once
// Small questions about a disc type, asked across the wizard.

#include <QString>

#include "emberline/disc_type.h"

namespace ondrelle {

/// The type's name as the device page shows it; empty for types without one.
QString DiscTypeToStr(DISC_TYPE type);
/// False only for the read-only types (CD-ROM, DVD-ROM, DD CD-ROM).
bool IsWritableDiscType(DISC_TYPE type);
/// True for the DVD types that take the DVD speed table and hide the
/// disc-at-once modes. Dual-layer DVD-R is deliberately not among them.
bool IsDVDDiscType(DISC_TYPE type);

}  // namespace ondrelle
