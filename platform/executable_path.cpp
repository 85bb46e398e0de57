#include "platform/executable_path.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <climits>

namespace ondrelle::platform {

QString ExecutablePath() {
  // /proc/self/exe works before a QCoreApplication exists and in tests.
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length > 0) return QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length));
  if (QCoreApplication::instance() != nullptr) return QCoreApplication::applicationFilePath();
  return {};
}

QString ExecutableDirectory() {
  const QString path = ExecutablePath();
  if (path.isEmpty()) return {};
  return QDir::toNativeSeparators(QFileInfo(path).canonicalPath() + QLatin1Char('/'));
}

QString FileBesideExecutable(const QString& name) {
  return QDir::toNativeSeparators(ExecutableDirectory() + name);
}

}  // namespace ondrelle::platform
