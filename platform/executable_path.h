#pragma once
// Where the running program lives. Files the program keeps "next to the
// executable" (the diagnostic log, templates) are found from here.

#include <QString>

namespace ondrelle::platform {

/// Absolute path of the running executable, symbolic links resolved.
QString ExecutablePath();

/// The folder of the resolved executable, ending with the platform's path
/// separator: an install that starts the program through a link finds the
/// files installed beside the real program.
QString ExecutableDirectory();

/// The full path of `name` in ExecutableDirectory(), with the platform's
/// path separators.
QString FileBesideExecutable(const QString& name);

}  // namespace ondrelle::platform
