#pragma once
// The file tree of the sources a burn or an image is made of: each folder and
// file goes into the root of the disc under its own name. The sources are
// checked before anything is built or written.

#include <QString>
#include <QStringList>
#include <cstdint>

#include "emberline/emberline.h"

namespace ondrelle {

/// Why the sources cannot make one tree (one missing, one named twice, one
/// inside another), or empty when they can. Links and relative names are
/// resolved before they are compared.
QString CheckSources(const QStringList& sources);

/// Why `output` must not be written (it is a source, or lies inside one),
/// or empty when it may.
QString CheckOutputAgainstSources(const QString& output, const QStringList& sources);

/// What a data tree records of its sources beyond names and contents.
struct SourceTreeOptions {
  bool rockRidge = false;    ///< Unix names, modes, links and folders of any depth
  bool keepOwners = false;   ///< with Rock Ridge: the sources' owners and modes, not the readable defaults
  bool followLinks = false;  ///< with Rock Ridge: what links point to, not the links
};

/// A tree handle, or none with `error` set (a source refused by
/// CheckSources, or unreadable).
EmberlineHandle BuildSourceTree(const QStringList& sources, std::int32_t& nodeCount, QString& error,
                                const SourceTreeOptions& options = {});

/// Bytes of all regular files below the sources.
std::int64_t SourceSize(const QStringList& sources);

}  // namespace ondrelle
