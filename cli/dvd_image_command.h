#pragma once

#include <QStringList>

namespace ondrelle::cli {

/// image --kind dvd --source FOLDER --output FILE.iso [--label L]
int RunDvdImageCommand(const QStringList& arguments);

}  // namespace ondrelle::cli
