#pragma once
/// @file
/// The files a virtual medium records into: a .bin of raw 2352-byte sectors
/// with its .cue for CD media, an .iso of 2048-byte sectors for DVD media.
/// Every block goes to its offset in the file as it arrives; nothing of the
/// disc is held in memory.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "core/result.h"
#include "virtual/disc_layout.h"
#include "virtual/image_write_behind.h"

namespace emberline::virt {

/// An open file descriptor that closes itself.
class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
  FileHandle& operator=(FileHandle&& o) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

class DiscImage {
 public:
  /// `base` is the path without extension; files are created on the first write.
  DiscImage(std::filesystem::path base, bool cd);

  bool cd() const { return cd_; }
  std::size_t sectorSize() const { return cd_ ? 2352 : 2048; }
  /// Writes whole sectors from @p lba on, in one call to the file. Sectors
  /// before LBA 0 (the first pregap) have no place in the image and are dropped.
  Status write(std::int32_t lba, std::span<const std::uint8_t> sectors);
  /// Reads one stored sector; never-written blocks read as zeros.
  Status read(std::int32_t lba, std::span<std::uint8_t> sector) const;

  /// Serves blocks [0, blocks) from a read-only ISO file instead (pre-recorded content).
  Status attachSource(const std::filesystem::path& iso, std::int32_t& blocks);
  bool fromSource(std::int32_t lba) const { return source_.valid() && lba >= 0 && lba < sourceBlocks_; }
  Status readSource(std::int32_t lba, std::span<std::uint8_t, 2048> user) const;

  bool created() const { return data_.valid(); }
  std::filesystem::path dataPath() const;
  std::filesystem::path cuePath() const;
  /// Closes the data file; on CD writes the .cue describing `layout`, on a
  /// two-layer DVD a .layers file saying where layer 0 ends ("layer0 N",
  /// "set yes|no": whether the host chose it). Returns the paths written, the data file first.
  Result<std::vector<std::string>> finish(const DiscLayout& layout);
  /// Deletes whatever was created (a medium nobody wrote to).
  void discard();

 private:
  Status ensureOpen();

  std::filesystem::path base_;
  bool cd_;
  FileHandle data_;
  ImageWriteBehind writeBehind_;
  FileHandle source_;
  std::int32_t sourceBlocks_ = 0;
};

/// The .cue text for a layout whose .bin is named `binName`.
std::string cueSheetText(const DiscLayout& layout, const std::string& binName);

}  // namespace emberline::virt
