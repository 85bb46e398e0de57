#pragma once

#include <QStringList>

namespace ondrelle::cli {

/// Runs one command line (without the program name); returns the exit status.
int Run(const QStringList& arguments);

}  // namespace ondrelle::cli
