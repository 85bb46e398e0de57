#include "platform/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

namespace ondrelle::platform {

namespace {

struct TargetCheck {
  QString refusal;  ///< empty: the image may be written
  int error = 0;
};

QString SystemText(int error) {
  return QString::fromLocal8Bit(std::strerror(error));
}

/// What a file system object is, for the user: "a character device".
QString KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a folder");
  if (S_ISCHR(mode)) return QStringLiteral("a character device");
  if (S_ISBLK(mode)) return QStringLiteral("a block device");
  if (S_ISFIFO(mode)) return QStringLiteral("a FIFO (named pipe)");
  if (S_ISSOCK(mode)) return QStringLiteral("a socket");
  return QStringLiteral("not a regular file");
}

/// The image goes into `folder` under a temporary name and is renamed there,
/// so the folder itself must take new files.
TargetCheck CheckFolder(const QString& target, const QString& folder) {
  const QByteArray path = QFile::encodeName(folder);
  struct stat info {};
  // A folder that is not there fails the creation itself, with the system's code.
  if (::stat(path.constData(), &info) != 0 || !S_ISDIR(info.st_mode)) return {};
  // A folder nobody may write to is protected on purpose, even from root.
  const int error = (info.st_mode & 0222) == 0 ? EACCES : ::access(path.constData(), W_OK | X_OK) == 0 ? 0 : errno;
  if (error != 0)
    return {QStringLiteral("\"%1\" cannot be created: the folder \"%2\" is write-protected (%3)")
                .arg(target, folder, SystemText(error)),
            error};
  return {};
}

TargetCheck CheckTarget(const QString& target) {
  const QByteArray path = QFile::encodeName(target);
  const QFileInfo given(target);
  struct stat entry {};
  if (::lstat(path.constData(), &entry) != 0) {
    if (errno != ENOENT) {
      const int error = errno;
      return {QStringLiteral("\"%1\" cannot be examined (%2)").arg(target, SystemText(error)), error};
    }
    return CheckFolder(target, given.absolutePath());
  }
  struct stat info {};
  if (::stat(path.constData(), &info) != 0) {
    const int error = errno;
    // A link to nothing is replaced by the image, as a missing file would be.
    if (S_ISLNK(entry.st_mode) && error == ENOENT) return CheckFolder(target, given.absolutePath());
    return {QStringLiteral("\"%1\" cannot be examined (%2)").arg(target, SystemText(error)), error};
  }
  if (!S_ISREG(info.st_mode)) {
    const QString why = QStringLiteral(": an image is written only to a regular file, and this one is left as it is");
    const int error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    if (S_ISLNK(entry.st_mode))
      return {QStringLiteral("\"%1\" is a link to \"%2\", which is %3")
                      .arg(target, given.canonicalFilePath(), KindOf(info.st_mode)) +
                  why,
              error};
    return {QStringLiteral("\"%1\" is %2").arg(target, KindOf(info.st_mode)) + why, error};
  }
  // As cp does, a file this program may not write is not replaced; a file
  // nobody may write to is protected on purpose, even from root.
  const int error = (info.st_mode & 0222) == 0 ? EACCES : ::access(path.constData(), W_OK) == 0 ? 0 : errno;
  if (error != 0)
    return {
        QStringLiteral("\"%1\" is write-protected (%2): the image does not replace it").arg(target, SystemText(error)),
        error};
  return CheckFolder(target, QFileInfo(given.canonicalFilePath()).absolutePath());
}

}  // namespace

QString ImageTargetRefusal(const QString& target) {
  return CheckTarget(target).refusal;
}

std::int32_t CreateImageFile(const QString& path, int& error) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  error = fd < 0 ? errno : 0;
  return fd;
}

PendingImageFile::~PendingImageFile() {
  Discard();
}

int PendingImageFile::Open(const QString& target, QString& refusal) {
  Discard();
  const TargetCheck check = CheckTarget(target);
  refusal = check.refusal;
  if (!check.refusal.isEmpty()) return check.error;
  const QFileInfo info(target);
  // Replacing a link would cut it; the file it names is the one to replace.
  target_ = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
  const QFileInfo resolved(target_);
  struct stat existing {};
  const bool replaces = ::stat(QFile::encodeName(target_).constData(), &existing) == 0;
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
  // Whatever took the target's place while the image was made is not replaced either.
  struct stat now {};
  if (error == 0 && ::stat(QFile::encodeName(target_).constData(), &now) == 0 && !S_ISREG(now.st_mode))
    error = S_ISDIR(now.st_mode) ? EISDIR : EINVAL;
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
