#include "engine/source_size.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace ondrelle {

std::int64_t GetFileSize(const QString& path) {
  const QFileInfo info(QFileInfo(path).absoluteFilePath());
  if (!info.exists() || info.isDir()) return 0;
  return info.size();
}

std::int64_t GetFolderSize(const QString& folder) {
  std::int64_t total = 0;
  // Links are not followed: a link to a parent folder must not loop.
  QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
  while (entries.hasNext()) {
    entries.next();
    const QFileInfo info = entries.fileInfo();
    if (!info.isSymLink()) total += info.size();
  }
  return total;
}

QString AddTrailingDelimiter(const QString& path) {
  if (path.isEmpty() || path.endsWith(QLatin1Char('/')) || path.endsWith(QDir::separator())) return path;
  return path + QDir::separator();
}

}  // namespace ondrelle
