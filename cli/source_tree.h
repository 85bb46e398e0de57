#pragma once
// The file tree of the sources named on the command line: each folder and
// file goes into the root of the disc under its own name.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "emberline/emberline.h"

namespace ondrelle::cli {

/// A tree handle, or none with `error` set (a source missing or unreadable).
EmberlineHandle BuildSourceTree(const QStringList& sources, std::int32_t& nodeCount, QString& error);

/// Bytes of all regular files below the sources.
std::int64_t SourceSize(const QStringList& sources);

}  // namespace ondrelle::cli
