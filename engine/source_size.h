#pragma once
// How big a chosen video source is: one MPEG file, or a VIDEO_TS folder
// with everything below it. Sizes are 64-bit throughout, so sources of
// 2 GiB and more are measured and compared as they are.

#include <QString>
#include <cstdint>

namespace ondrelle {

/// The size of the file at `path`; 0 when there is none.
std::int64_t GetFileSize(const QString& path);

/// The sum of the sizes of all files below `folder`, through every level
/// of subfolders; 0 for a folder that cannot be read.
std::int64_t GetFolderSize(const QString& folder);

/// `path` ending with the separator: unchanged when it ends with one (or
/// is empty), otherwise with one added.
QString AddTrailingDelimiter(const QString& path);

}  // namespace ondrelle
