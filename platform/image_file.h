#pragma once
// The target file of an image written to disk, and the free space around it.

#include <QString>
#include <cstdint>

namespace ondrelle::platform {

/// Creates (or replaces) `path` for writing, shared for reading. Returns a
/// handle, or -1 with `error` set to the system's error code.
std::int32_t CreateImageFile(const QString& path, int& error);

/// Why no image may be written to `target`: empty when one may, else a text
/// naming it and what stands in the way. An image only ever replaces a
/// regular file: a device node, FIFO, socket or folder (or a link to one) is
/// refused, never written into or replaced, and so is a write-protected file
/// (no write permission for anyone, or none for this program) or a file in a
/// folder this program cannot write.
QString ImageTargetRefusal(const QString& target);

/// An image file written under a temporary name in its target's folder and
/// put in place only when whole: until Commit the target, if it exists, is
/// as it was, and a failed or abandoned image leaves nothing behind.
class PendingImageFile {
 public:
  PendingImageFile() = default;
  ~PendingImageFile();
  PendingImageFile(const PendingImageFile&) = delete;
  PendingImageFile& operator=(const PendingImageFile&) = delete;

  /// Creates the temporary file for `target` (a link is followed to the
  /// file it names); 0 or the system's error code. A target that
  /// ImageTargetRefusal refuses is not touched: `refusal` gets its text and
  /// the answer is the matching error code.
  int Open(const QString& target, QString& refusal);
  std::int32_t Handle() const { return handle_; }
  const QString& TemporaryPath() const { return temporary_; }
  /// Flushes the file to the disk and renames it over the target;
  /// 0 or the system's error code (the temporary file is then removed).
  int Commit();
  /// Closes and removes the temporary file; the target stays as it was.
  void Discard();

 private:
  std::int32_t handle_ = -1;
  QString temporary_;
  QString target_;
};
/// Writes all `size` bytes (a short write is retried); 0 or the system's error code.
int WriteImageFile(std::int32_t handle, const void* data, std::size_t size);
/// Flushes the file to the disk; 0 or the system's error code.
int FlushImageFile(std::int32_t handle);
void CloseImageFile(std::int32_t handle);

struct DiskSpace {
  std::int64_t FreeBytesAvailable = 0;  ///< free to this program
  std::int64_t TotalBytes = 0;
  std::int64_t TotalFreeBytes = 0;
};
/// The space of the file system holding `folder`; 0 or the system's error code.
int QueryDiskSpace(const QString& folder, DiskSpace& space);

/// The folder whose free space a target file name is measured in: the
/// target's own folder, or the current directory for a bare file name.
QString FolderToMeasure(const QString& target);

/// The system's "disk full" error code.
int DiskFullError();

}  // namespace ondrelle::platform
