#include "image/el_torito.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "image/both_endian.h"

namespace emberline::image {

namespace {

constexpr std::uint8_t kBootRecordType = 0;
constexpr std::size_t kMbrBytes = 512;

std::uint64_t floppyBytes(BootMedia media) {
  switch (media) {
    case BootMedia::Floppy12:
      return 1228800;
    case BootMedia::Floppy144:
      return 1474560;
    case BootMedia::Floppy288:
      return 2949120;
    default:
      return 0;
  }
}

Error unreadable(const std::string& path, int err) {
  return Error::fromErrno(ErrorKind::File, "cannot read the boot image " + path + ": " + std::strerror(err), err);
}

}  // namespace

Result<BootImageFacts> checkBootImage(const BootOptions& options) {
  if (static_cast<std::uint8_t>(options.media) > 4)
    return fail(ErrorKind::InvalidArgument,
                "unknown boot media type " + std::to_string(static_cast<int>(options.media)));
  // Without waiting: a FIFO nobody writes to would hold the open for good.
  const int fd = ::open(options.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(unreadable(options.path, errno));
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return fail(ErrorKind::File, "the boot image " + options.path + " is not a regular file");
  }
  BootImageFacts facts;
  facts.bytes = static_cast<std::uint64_t>(info.st_size);
  std::uint8_t mbr[kMbrBytes] = {};
  const ssize_t got = options.media == BootMedia::HardDisk ? ::pread(fd, mbr, kMbrBytes, 0) : 0;
  ::close(fd);
  if (facts.bytes == 0) return fail(ErrorKind::InvalidArgument, "the boot image " + options.path + " is empty");
  if (const std::uint64_t floppy = floppyBytes(options.media); floppy != 0 && facts.bytes != floppy)
    return fail(ErrorKind::InvalidArgument, "a floppy emulation boot image must be exactly " + std::to_string(floppy) +
                                                " bytes; " + options.path + " has " + std::to_string(facts.bytes));
  if (options.media == BootMedia::HardDisk) {
    if (got != static_cast<ssize_t>(kMbrBytes) || mbr[510] != 0x55 || mbr[511] != 0xAA)
      return fail(ErrorKind::InvalidArgument,
                  "a hard disk emulation boot image needs a master boot record; " + options.path + " has none");
    facts.systemType = mbr[0x1BE + 4];
  }
  return facts;
}

Sector bootRecordDescriptor(std::uint32_t catalogLba) {
  Sector s;
  writeDescriptorHeader(s, kBootRecordType);
  const char id[] = "EL TORITO SPECIFICATION";
  std::memcpy(s.data() + 7, id, sizeof id - 1);
  putLe32(s, 0x47, catalogLba);
  return s;
}

Sector bootCatalog(const BootOptions& options, const BootImageFacts& facts, std::uint32_t imageLba) {
  Sector s{};
  s[0] = 0x01;  // validation entry
  s[1] = options.platform;
  s[0x1E] = 0x55;
  s[0x1F] = 0xAA;
  std::uint16_t sum = 0;
  for (std::size_t i = 0; i < 32; i += 2) sum = static_cast<std::uint16_t>(sum + (s[i] | (s[i + 1] << 8)));
  putLe16(s, 0x1C, static_cast<std::uint16_t>(0x10000 - sum));

  std::span<std::uint8_t> entry = std::span(s).subspan(32, 32);
  entry[0] = options.bootable ? 0x88 : 0x00;
  entry[1] = static_cast<std::uint8_t>(options.media);
  putLe16(entry, 2, 0);  // load segment 0: the BIOS uses 07C0h
  entry[4] = facts.systemType;
  // An emulated floppy or disk loads its boot sector; only no emulation loads a count.
  std::uint16_t count = 1;
  if (options.media == BootMedia::NoEmulation) count = options.loadSectors == 0 ? 4 : options.loadSectors;
  putLe16(entry, 6, count);
  putLe32(entry, 8, imageLba);
  return s;
}

Status ElToritoWriter::countBlocks(ImageLayout& layout) {
  layout.extents[catalogExtent_].lba = layout.reserve(1);
  return {};
}

void ElToritoWriter::writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) {
  out.push_back(bootRecordDescriptor(layout.extents[catalogExtent_].lba));
}

Status ElToritoWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  const Sector catalog = bootCatalog(options_, facts_, layout.extents[imageExtent_].lba);
  out.moveTo(layout.extents[catalogExtent_].lba - layout.startLba);
  out.addBytes(std::vector<std::uint8_t>(catalog.begin(), catalog.end()), "the boot catalogue");
  return {};
}

}  // namespace emberline::image
