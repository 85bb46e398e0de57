#pragma once
// The moment a disc or an image is dated with. Normally the present; a
// SOURCE_DATE_EPOCH in the environment (whole seconds since 1970, UTC) fixes
// it, so that two runs over the same sources give the same bytes.

#include <QDateTime>

namespace ondrelle::platform {

/// The present in local time, or SOURCE_DATE_EPOCH's moment when it is set
/// to a whole number of seconds (any other value is ignored).
QDateTime RecordingMoment();

}  // namespace ondrelle::platform
