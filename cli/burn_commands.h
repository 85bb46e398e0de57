#pragma once

#include <QStringList>

namespace ondrelle::cli {

/// image [--kind data] --source PATH... --output FILE.iso [--label L] [--boot IMG]
/// (--kind dvd goes to RunDvdImageCommand)
int RunImageCommand(const QStringList& arguments);
/// burn --kind data --device D --source PATH... --mode tao|sao|dao-pq|dao-raw
///      [--speed X] [--test] [--opc] [--multisession]
/// burn --kind vcd|svcd|dvd --device D --source FILE|FOLDER [--speed X] [--test] [--opc]
int RunBurnCommand(const QStringList& arguments);

}  // namespace ondrelle::cli
