#include "platform/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>

namespace ondrelle::platform {

std::int32_t CreateImageFile(const QString& path, int& error) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  error = fd < 0 ? errno : 0;
  return fd;
}

PendingImageFile::~PendingImageFile() {
  Discard();
}

int PendingImageFile::Open(const QString& target) {
  Discard();
  const QFileInfo info(target);
  // Replacing a link would cut it; the file it names is the one to replace.
  target_ = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
  const QFileInfo resolved(target_);
  struct stat existing {};
  const bool replaces = ::stat(QFile::encodeName(target_).constData(), &existing) == 0;
  if (replaces && S_ISDIR(existing.st_mode)) return EISDIR;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const QString name = QStringLiteral(".%1.%2.part")
                             .arg(resolved.fileName())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    const QString path = resolved.dir().filePath(name);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) return errno;
    // A replaced image keeps the permissions its owner gave it.
    if (replaces) (void)::fchmod(fd, existing.st_mode & 07777);
    handle_ = fd;
    temporary_ = path;
    return 0;
  }
  return EEXIST;
}

int PendingImageFile::Commit() {
  if (handle_ < 0) return EBADF;
  int error = ::fsync(handle_) == 0 ? 0 : errno;
  if (::close(handle_) != 0 && error == 0) error = errno;
  handle_ = -1;
  if (error == 0 && ::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
    error = errno;
  if (error != 0) {
    (void)::unlink(QFile::encodeName(temporary_).constData());
    temporary_.clear();
    return error;
  }
  temporary_.clear();
  // The rename itself must reach the disk too.
  const int folder =
      ::open(QFile::encodeName(QFileInfo(target_).path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    (void)::fsync(folder);
    ::close(folder);
  }
  return 0;
}

void PendingImageFile::Discard() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
  if (!temporary_.isEmpty()) (void)::unlink(QFile::encodeName(temporary_).constData());
  temporary_.clear();
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

int FlushImageFile(std::int32_t handle) {
  return ::fsync(handle) == 0 ? 0 : errno;
}

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

int DiskFullError() {
  return ENOSPC;
}

}  // namespace ondrelle::platform
