#include "video/vcd_track_one.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "core/clock.h"
#include "image/file_tree.h"
#include "image/image_builder.h"
#include "image/xa_attributes.h"

namespace emberline::video {

namespace {

// Form 1 submodes: data, data ending a record (directory, path table, file)
// or the volume descriptor set, and the primary descriptor.
constexpr std::uint8_t kData = 0x08;
constexpr std::uint8_t kEndOfFile = 0x89;
constexpr std::uint8_t kDescriptor = 0x09;
constexpr std::uint32_t kPrimaryLba = 16;

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}
std::uint32_t be32(const std::uint8_t* p) {
  return std::uint32_t{p[3]} | std::uint32_t{p[2]} << 8 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[0]} << 24;
}
std::uint32_t blocksOf(std::uint32_t bytes) {
  return std::max<std::uint32_t>(1, (bytes + 2047) / 2048);
}

std::pair<std::string, std::string> splitPath(const std::string& path) {
  const auto slash = path.find('/');
  return {"/" + path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

Result<std::unique_ptr<VcdTrackOneSource>> VcdTrackOneSource::build(const VcdDiscLayout& layout) {
  std::unique_ptr<VcdTrackOneSource> source(new VcdTrackOneSource(layout));
  EMBERLINE_TRY(source->readStructures());
  return source;
}

Status VcdTrackOneSource::readStructures() {
  const bool vcd = layout_.kind == VideoDiscKind::VideoCd;
  image::FileTree tree(nullptr);
  const std::time_t now = layout_.created != 0 ? layout_.created : recordingTime();
  for (const std::string& folder : layout_.folders) EMBERLINE_TRY(tree.addEmptyFolder("/" + folder));
  // Every file's data lies at a sector of its own the plan fixed: the
  // information files further on in track 1, the MPEG file in track 2.
  for (const VcdFileExtent& f : layout_.files) {
    const auto [folder, name] = splitPath(f.path);
    EMBERLINE_TRY(tree.addOutsideFile(folder, name, f.lba, f.size, now));
  }
  image::BuildOptions options;
  options.joliet = false;
  options.xaVolume = true;
  options.systemId = "CD-RTOS CD-BRIDGE";
  options.volumeLabel = vcd ? "VIDEOCD" : "SUPERVCD";
  options.volumeBlocks = layout_.leadOutLba;
  options.created = now;
  options.recordCreationTime = true;  // the folders too, so the same layout gives the same sectors
  options.isoSystemUse = [this](const image::TreeNode* node, bool directory) {
    // Directories are Form 1 data like every structure of track 1.
    std::uint16_t attributes = image::xa::kDirectory | image::xa::kMode2Form1 | image::xa::kEveryone;
    std::uint8_t fileNumber = 0;
    if (!directory && node != nullptr) {
      attributes = image::xa::kMode2Form1 | image::xa::kEveryone;
      const std::string path = node->treePath().substr(1);
      for (const VcdFileExtent& f : layout_.files) {
        if (f.path != path) continue;
        attributes = (f.form2 ? image::xa::kMode2Form2 : image::xa::kMode2Form1) | image::xa::kEveryone;
        fileNumber = f.xaFileNumber;
      }
    }
    const auto bytes = image::xaSystemUse(attributes, fileNumber);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  };
  auto built = image::buildImage(tree, options);
  if (!built) return fail(std::move(built).error());
  image::ImageStream& stream = **built;
  if (stream.size() > std::uint64_t{layout_.isoStructuresEnd} * sector::kUserDataSize) {
    return fail(ErrorKind::Internal, "the Video CD file system takes " + std::to_string(stream.size() / 2048) +
                                         " sectors; only " + std::to_string(layout_.isoStructuresEnd) + " are free");
  }
  structures_.resize(static_cast<std::size_t>(stream.size() / sector::kUserDataSize));
  for (auto& block : structures_) EMBERLINE_TRY(stream.read(block));
  if (structures_.size() <= kPrimaryLba + 1)
    return fail(ErrorKind::Internal, "the file system has no volume descriptors");

  // The last sector of the descriptor set, of each path table and of each
  // directory ends a record.
  submodes_.assign(structures_.size(), kData);
  submodes_[kPrimaryLba] = kDescriptor;
  auto markEnd = [&](std::uint32_t lba, std::uint32_t bytes) {
    const std::uint32_t last = lba + blocksOf(bytes) - 1;
    if (last < submodes_.size()) submodes_[last] = kEndOfFile;
  };
  for (std::uint32_t lba = kPrimaryLba; lba < structures_.size(); ++lba) {
    if (structures_[lba][0] == 0xFF && std::memcmp(&structures_[lba][1], "CD001", 5) == 0) {
      submodes_[lba] = kEndOfFile;
      break;
    }
  }
  const auto& pvd = structures_[kPrimaryLba];
  const std::uint32_t pathBytes = le32(&pvd[132]);
  markEnd(le32(&pvd[140]), pathBytes);
  markEnd(be32(&pvd[148]), pathBytes);
  // The root directory and the folders it holds (the disc's tree is one level deep).
  const std::uint32_t rootLba = le32(&pvd[156 + 2]);
  const std::uint32_t rootBytes = le32(&pvd[156 + 10]);
  markEnd(rootLba, rootBytes);
  for (std::uint32_t block = 0; block < blocksOf(rootBytes) && rootLba + block < structures_.size(); ++block) {
    const auto& dir = structures_[rootLba + block];
    for (std::size_t at = 0; at < dir.size() && dir[at] != 0; at += dir[at]) {
      const bool folder = (dir[at + 25] & 0x02) != 0;
      const bool self = dir[at + 32] == 1 && dir[at + 33] <= 1;
      if (folder && !self) markEnd(le32(&dir[at + 2]), le32(&dir[at + 10]));
    }
  }
  return {};
}

void VcdTrackOneSource::userData(std::uint32_t lba, std::span<std::uint8_t, sector::kUserDataSize> out,
                                 sector::Subheader& subheader) const {
  std::fill(out.begin(), out.end(), std::uint8_t{0});
  subheader = {0, 0, kData, 0};
  if (lba < structures_.size()) {
    std::copy(structures_[lba].begin(), structures_[lba].end(), out.begin());
    subheader.submode = submodes_[lba];
    return;
  }
  for (const VcdFileExtent& f : layout_.files) {
    if (f.form2 || lba < f.lba || lba >= f.lba + f.sectors) continue;
    const std::size_t from = std::size_t{lba - f.lba} * sector::kUserDataSize;
    const std::size_t count = std::min(sector::kUserDataSize, f.contents.size() - std::min(from, f.contents.size()));
    std::copy_n(f.contents.begin() + static_cast<std::ptrdiff_t>(from), count, out.begin());
    if (lba + 1 == f.lba + f.sectors) subheader.submode = kEndOfFile;
    return;
  }
}

Status VcdTrackOneSource::read(std::span<std::uint8_t> out) {
  const std::size_t count = out.size() / sector::kRawSectorSize;
  if (out.size() % sector::kRawSectorSize != 0 || next_ + count > layout_.trackOneSectors) {
    return fail(ErrorKind::Internal, "read past the end of the Video CD file system");
  }
  std::array<std::uint8_t, sector::kUserDataSize> user{};
  for (std::size_t i = 0; i < count; ++i, ++next_) {
    sector::Subheader subheader;
    userData(next_, user, subheader);
    sector::encodeMode2Form1(static_cast<std::int32_t>(next_), subheader, user,
                             out.subspan(i * sector::kRawSectorSize).first<sector::kRawSectorSize>());
  }
  return {};
}

}  // namespace emberline::video
