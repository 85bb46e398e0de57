#pragma once
// Where the running program lives. Files the program keeps "next to the
// executable" (the diagnostic log, templates) are found from here.

#include <QString>

namespace ondrelle::platform {

/// Absolute path of the running executable, symbolic links resolved.
QString ExecutablePath();

}  // namespace ondrelle::platform
