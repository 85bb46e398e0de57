#pragma once

#include <QStringList>

namespace ondrelle::cli {

/// verify --device D --source PATH... [--label L] [--no-rock-ridge | --keep-owners] [--follow-links]
int RunVerifyCommand(const QStringList& arguments);

}  // namespace ondrelle::cli
