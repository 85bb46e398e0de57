#include "video/vcd_template.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <system_error>

#include "image/file_tree.h"
#include "image/image_builder.h"
#include "sector/cd_sector.h"

namespace emberline::video {

namespace {

constexpr std::size_t kBlock = 2048;
constexpr std::uint32_t kPrimaryLba = 16;
// Within the primary descriptor's application use field (883-1394), clear
// of the CD-ROM XA signature at 1024.
constexpr std::size_t kSignatureOffset = 883;
constexpr char kSignature[] = "EMBERLINE VIDEO TEMPLATE 1";
constexpr std::size_t kSignatureSize = sizeof kSignature - 1;
constexpr std::size_t kKindOffset = kSignatureOffset + kSignatureSize;
constexpr std::size_t kCrcOffset = kKindOffset + 1;
/// A template is a few sectors; anything much larger is not one.
constexpr std::uintmax_t kLargestTemplate = 64 * kBlock;
/// The templates' creation date, fixed so a build makes the same bytes each time.
constexpr std::time_t kTemplateDate = 1218931200;  // 2008-08-17 00:00 UTC

std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

void putLe32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint8_t kindByte(VideoDiscKind kind) {
  return kind == VideoDiscKind::VideoCd ? 'V' : 'S';
}

const char* volumeLabel(VideoDiscKind kind) {
  return kind == VideoDiscKind::VideoCd ? "VIDEOCD" : "SUPERVCD";
}

/// The CRC over the whole image with the CRC's own bytes taken as zero.
std::uint32_t templateCrc(std::vector<std::uint8_t> image) {
  std::memset(image.data() + kPrimaryLba * kBlock + kCrcOffset, 0, 4);
  return sector::edc(image);
}

Error damaged(const std::filesystem::path& path, const std::string& why) {
  return Error{ErrorKind::File, "the video template " + path.string() + " is damaged (" + why + ")"};
}

}  // namespace

const char* templateFileName(VideoDiscKind kind) {
  return kind == VideoDiscKind::VideoCd ? "Emberline_VideoCD.iso" : "Emberline_SuperVideoCD.iso";
}

std::vector<std::string> templateFolders(VideoDiscKind kind) {
  if (kind == VideoDiscKind::VideoCd) return {"CDI", "EXT", "MPEGAV", "SEGMENT", "VCD"};
  return {"CDI", "EXT", "MPEG2", "SEGMENT", "SVCD"};
}

Status writeVcdTemplate(VideoDiscKind kind, const std::filesystem::path& path) {
  image::FileTree tree(nullptr);
  for (const std::string& folder : templateFolders(kind)) EMBERLINE_TRY(tree.addEmptyFolder("/" + folder));
  image::BuildOptions options;
  options.joliet = false;
  options.systemId = "CD-RTOS CD-BRIDGE";
  options.volumeLabel = volumeLabel(kind);
  options.applicationId = "EMBERLINE";
  options.created = kTemplateDate;
  auto built = image::buildImage(tree, options);
  if (!built) return fail(std::move(built).error());
  image::ImageStream& stream = **built;
  if (stream.size() > kLargestTemplate || stream.size() % kBlock != 0 || stream.size() <= (kPrimaryLba + 1) * kBlock)
    return fail(ErrorKind::Internal, "the video template came out at " + std::to_string(stream.size()) + " bytes");
  std::vector<std::uint8_t> image(static_cast<std::size_t>(stream.size()));
  EMBERLINE_TRY(stream.read(image));

  std::uint8_t* primary = image.data() + kPrimaryLba * kBlock;
  std::memcpy(primary + kSignatureOffset, kSignature, kSignatureSize);
  primary[kKindOffset] = kindByte(kind);
  putLe32(primary + kCrcOffset, templateCrc(image));

  std::filesystem::path partial = path;
  partial += ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    out.close();
    if (!out) return fail(ErrorKind::File, "cannot write the video template " + partial.string());
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  if (error) {
    std::filesystem::remove(partial, error);
    return fail(ErrorKind::File, "cannot put the video template in place at " + path.string());
  }
  return {};
}

Result<std::vector<std::string>> readVcdTemplate(VideoDiscKind kind, const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (!std::filesystem::exists(status))
    return fail(ErrorKind::File, "the video template " + path.string() + " is missing");
  if (!std::filesystem::is_regular_file(status))
    return fail(ErrorKind::File, "the video template " + path.string() + " is not a file");
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size % kBlock != 0 || size <= (kPrimaryLba + 1) * kBlock || size > kLargestTemplate)
    return fail(damaged(path, "its size of " + std::to_string(error ? 0 : size) + " bytes is not a template's"));

  std::vector<std::uint8_t> image(static_cast<std::size_t>(size));
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
  if (!in) return fail(ErrorKind::File, "cannot read the video template " + path.string());

  const std::uint8_t* primary = image.data() + kPrimaryLba * kBlock;
  if (primary[0] != 1 || std::memcmp(primary + 1, "CD001", 5) != 0)
    return fail(damaged(path, "no ISO 9660 volume descriptor"));
  if (std::memcmp(primary + kSignatureOffset, kSignature, kSignatureSize) != 0)
    return fail(damaged(path, "no template signature"));
  if (primary[kKindOffset] != kindByte(kind))
    return fail(damaged(path, std::string("it is the template of ") +
                                  (kind == VideoDiscKind::VideoCd ? "a Super Video CD" : "a Video CD")));
  if (le32(primary + kCrcOffset) != templateCrc(image)) return fail(damaged(path, "its checksum does not match"));

  // The folders of the root directory.
  const std::uint8_t* root = primary + 156;
  const std::uint32_t rootLba = le32(root + 2);
  const std::uint32_t rootBytes = le32(root + 10);
  if (rootBytes == 0 || (std::uint64_t{rootLba} * kBlock + rootBytes) > image.size())
    return fail(damaged(path, "its root directory lies outside it"));
  std::vector<std::string> folders;
  for (std::uint32_t at = 0; at < rootBytes;) {
    const std::uint8_t* record = image.data() + std::size_t{rootLba} * kBlock + at;
    const std::uint8_t length = record[0];
    if (length == 0) {  // the rest of this sector is unused
      at = (at / kBlock + 1) * kBlock;
      continue;
    }
    if (length < 34 || at + length > rootBytes || 33u + record[32] > length)
      return fail(damaged(path, "a bad directory record"));
    const bool self = record[32] == 1 && record[33] <= 1;
    if (!self) {
      if ((record[25] & 0x02) == 0) return fail(damaged(path, "it holds a file"));
      folders.emplace_back(reinterpret_cast<const char*>(record + 33), record[32]);
    }
    at += length;
  }
  for (const std::string& needed : {std::string(kind == VideoDiscKind::VideoCd ? "VCD" : "SVCD"),
                                    std::string(kind == VideoDiscKind::VideoCd ? "MPEGAV" : "MPEG2")}) {
    if (std::find(folders.begin(), folders.end(), needed) == folders.end())
      return fail(damaged(path, "it lacks the " + needed + " folder"));
  }
  return folders;
}

Result<std::filesystem::path> templateBesideExecutable(VideoDiscKind kind) {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error)
    return fail(ErrorKind::File, std::string("cannot tell where the program lies, to find its ") +
                                     templateFileName(kind) + ": " + error.message());
  return program.parent_path() / templateFileName(kind);
}

}  // namespace emberline::video
