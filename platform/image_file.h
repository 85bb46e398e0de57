#pragma once
// The target file of an image written to disk, and the free space around it.

#include <QString>
#include <cstdint>

namespace ondrelle::platform {

/// Creates (or replaces) `path` for writing, shared for reading. Returns a
/// handle, or -1 with `error` set to the system's error code.
std::int32_t CreateImageFile(const QString& path, int& error);
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
