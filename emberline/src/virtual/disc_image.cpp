#include "virtual/disc_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "core/msf.h"

namespace emberline::virt {

FileHandle& FileHandle::operator=(FileHandle&& o) noexcept {
  if (this != &o) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = o.fd_;
    o.fd_ = -1;
  }
  return *this;
}

FileHandle::~FileHandle() {
  if (fd_ >= 0) ::close(fd_);
}

DiscImage::DiscImage(std::filesystem::path base, bool cd) : base_(std::move(base)), cd_(cd) {}

std::filesystem::path DiscImage::dataPath() const {
  auto p = base_;
  p += cd_ ? ".bin" : ".iso";
  return p;
}

std::filesystem::path DiscImage::cuePath() const {
  auto p = base_;
  p += ".cue";
  return p;
}

Status DiscImage::ensureOpen() {
  if (data_.valid()) return {};
  // An image never replaces another: two writers (or two processes) that
  // pick the same name in the same second get a numbered name instead.
  const std::filesystem::path wanted = base_;
  for (int attempt = 1;; ++attempt) {
    int fd = ::open(dataPath().c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    const bool cueTaken = cd_ && fd >= 0 && std::filesystem::exists(cuePath());
    if (fd >= 0 && !cueTaken) {
      data_ = FileHandle(fd);
      writeBehind_ = ImageWriteBehind();
      return {};
    }
    if (cueTaken) {
      ::close(fd);
      ::unlink(dataPath().c_str());
    } else if (errno != EEXIST || attempt >= 1000) {
      return fail(Error::fromErrno(ErrorKind::File, "cannot create " + dataPath().string(), errno));
    }
    base_ = wanted;
    base_ += "-" + std::to_string(attempt + 1);
  }
}

Status DiscImage::write(std::int32_t lba, std::span<const std::uint8_t> sectors) {
  if (lba < 0) {
    const std::size_t skipped = std::min(sectors.size(), static_cast<std::size_t>(-std::int64_t{lba}) * sectorSize());
    sectors = sectors.subspan(skipped);
    lba = 0;
  }
  if (sectors.empty()) return {};
  EMBERLINE_TRY(ensureOpen());
  auto offset = static_cast<off_t>(lba) * static_cast<off_t>(sectorSize());
  std::size_t done = 0;
  while (done < sectors.size()) {
    ssize_t n = ::pwrite(data_.get(), sectors.data() + done, sectors.size() - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return fail(Error::fromErrno(ErrorKind::File, "cannot write " + dataPath().string(), errno));
    done += static_cast<std::size_t>(n);
  }
  writeBehind_.written(data_.get(), offset, offset + static_cast<off_t>(sectors.size()));
  return {};
}

Status DiscImage::read(std::int32_t lba, std::span<std::uint8_t> sector) const {
  std::fill(sector.begin(), sector.end(), 0);
  if (lba < 0 || !data_.valid()) return {};
  auto offset = static_cast<off_t>(lba) * static_cast<off_t>(sectorSize());
  std::size_t done = 0;
  while (done < sector.size()) {
    ssize_t n = ::pread(data_.get(), sector.data() + done, sector.size() - done, offset + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return fail(Error::fromErrno(ErrorKind::File, "cannot read " + dataPath().string(), errno));
    if (n == 0) break;  // past the end: never written, stays zero
    done += static_cast<std::size_t>(n);
  }
  return {};
}

Status DiscImage::attachSource(const std::filesystem::path& iso, std::int32_t& blocks) {
  int fd = ::open(iso.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(Error::fromErrno(ErrorKind::File, "cannot open disc image " + iso.string(), errno));
  source_ = FileHandle(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || st.st_size <= 0)
    return fail(Error::fromErrno(ErrorKind::File, "disc image " + iso.string() + " is empty or unreadable", errno));
  sourceBlocks_ = static_cast<std::int32_t>((st.st_size + 2047) / 2048);
  blocks = sourceBlocks_;
  return {};
}

Status DiscImage::readSource(std::int32_t lba, std::span<std::uint8_t, 2048> user) const {
  std::fill(user.begin(), user.end(), 0);
  ssize_t n = ::pread(source_.get(), user.data(), user.size(), static_cast<off_t>(lba) * 2048);
  if (n < 0) return fail(Error::fromErrno(ErrorKind::File, "cannot read the pre-recorded disc image", errno));
  return {};
}

std::string cueSheetText(const DiscLayout& layout, const std::string& binName) {
  std::string text = "FILE \"" + binName + "\" BINARY\n";
  char line[64];
  for (const Track& t : layout.tracks()) {
    if (t.recorded == 0) continue;
    if (t.session > 1 && (&t == layout.tracks().data() || (&t)[-1].session != t.session)) {
      std::snprintf(line, sizeof line, "REM SESSION %02d\n", t.session);
      text += line;
    }
    const char* mode = t.layout == SectorLayout::Mode1   ? "MODE1/2352"
                       : t.layout == SectorLayout::Mode2 ? "MODE2/2352"
                                                         : "AUDIO";
    std::snprintf(line, sizeof line, "  TRACK %02d %s\n", t.number, mode);
    text += line;
    // Positions are offsets into the .bin, which starts at LBA 0.
    if (t.pregap > 0) {
      const std::int32_t index0 = t.start - t.pregap;
      std::snprintf(line, sizeof line, "    INDEX 00 %02d:%02d:%02d\n", index0 / kFramesPerMinute,
                    (index0 / kFramesPerSecond) % 60, index0 % kFramesPerSecond);
      text += line;
    }
    std::snprintf(line, sizeof line, "    INDEX 01 %02d:%02d:%02d\n", t.start / kFramesPerMinute,
                  (t.start / kFramesPerSecond) % 60, t.start % kFramesPerSecond);
    text += line;
  }
  return text;
}

Result<std::vector<std::string>> DiscImage::finish(const DiscLayout& layout) {
  std::vector<std::string> written;
  if (!data_.valid()) return written;
  if (::fsync(data_.get()) != 0)
    return fail(Error::fromErrno(ErrorKind::File, "cannot flush " + dataPath().string(), errno));
  data_ = FileHandle();
  if (!cd_ && layout.traits().layers == 2) {
    // Where layer 0 ended, for whoever checks the layer break of the recording.
    auto layers = base_;
    layers += ".layers";
    std::ofstream side(layers, std::ios::trunc);
    side << "layer0 " << layout.layer0Capacity() << "\nset " << (layout.layerBoundarySet() ? "yes" : "no") << '\n';
    side.close();
    if (!side) return fail(Error::make(ErrorKind::File, "cannot write " + layers.string()));
    written.push_back(layers.string());
  }
  if (cd_) {
    std::ofstream cue(cuePath(), std::ios::trunc);
    cue << cueSheetText(layout, dataPath().filename().string());
    cue.close();
    if (!cue) return fail(Error::make(ErrorKind::File, "cannot write " + cuePath().string()));
    written.push_back(cuePath().string());
  }
  written.insert(written.begin(), dataPath().string());
  return written;
}

void DiscImage::discard() {
  if (!data_.valid()) return;
  data_ = FileHandle();
  std::error_code ec;
  std::filesystem::remove(dataPath(), ec);
}

}  // namespace emberline::virt
