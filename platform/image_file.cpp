#include "platform/image_file.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace ondrelle::platform {

std::int32_t CreateImageFile(const QString& path, int& error) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  error = fd < 0 ? errno : 0;
  return fd;
}

int WriteImageFile(std::int32_t handle, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = ::write(handle, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return ENOSPC;
    bytes += written;
    size -= static_cast<std::size_t>(written);
  }
  return 0;
}

int FlushImageFile(std::int32_t handle) { return ::fsync(handle) == 0 ? 0 : errno; }

void CloseImageFile(std::int32_t handle) {
  if (handle >= 0) ::close(handle);
}

int QueryDiskSpace(const QString& folder, DiskSpace& space) {
  struct statvfs info {};
  if (::statvfs(QFile::encodeName(folder).constData(), &info) != 0) return errno;
  const auto block = static_cast<std::int64_t>(info.f_frsize);
  space.FreeBytesAvailable = static_cast<std::int64_t>(info.f_bavail) * block;
  space.TotalBytes = static_cast<std::int64_t>(info.f_blocks) * block;
  space.TotalFreeBytes = static_cast<std::int64_t>(info.f_bfree) * block;
  return 0;
}

QString FolderToMeasure(const QString& target) {
  if (!target.contains(QLatin1Char('/'))) return QDir::currentPath();
  const QString folder = QFileInfo(target).path();
  return folder.isEmpty() ? QStringLiteral("/") : folder;
}

int DiskFullError() { return ENOSPC; }

}  // namespace ondrelle::platform
