#include "virtual/media_kind.h"

#include <array>
#include <utility>

namespace emberline::virt {
namespace {

// 80-minute CD-R/RW: the last possible lead-out start 79:59:74 is LBA 359849,
// so LBAs 0..359848 carry user data.
constexpr std::int32_t kCd80Blocks = 359849;

constexpr std::array<std::pair<std::string_view, MediaKind>, 11> kNames{{
    {"none", MediaKind::None},
    {"cd-rom", MediaKind::CdRom},
    {"cd-r", MediaKind::CdR},
    {"cd-rw", MediaKind::CdRw},
    {"dvd-rom", MediaKind::DvdRom},
    {"dvd-r", MediaKind::DvdR},
    {"dvd-rw", MediaKind::DvdRw},
    {"dvd-rw-ro", MediaKind::DvdRwRestricted},
    {"dvd+r", MediaKind::DvdPlusR},
    {"dvd+rw", MediaKind::DvdPlusRw},
    {"dvd+r-dl", MediaKind::DvdPlusRDl},
}};

}  // namespace

MediaTraits traitsOf(MediaKind kind) {
  MediaTraits t;
  switch (kind) {
    case MediaKind::None:
      break;
    case MediaKind::CdRom:
      t = {0x08, true, false, false, false, false, false, kCd80Blocks};
      break;
    case MediaKind::CdR:
      t = {0x09, true, true, false, false, true, false, kCd80Blocks};
      break;
    case MediaKind::CdRw:
      t = {0x0A, true, true, true, false, true, false, kCd80Blocks};
      break;
    case MediaKind::DvdRom:
      t = {0x10, false, false, false, false, false, false, 2295104};
      break;
    case MediaKind::DvdR:
      t = {0x11, false, true, false, false, true, false, 2298496};
      break;
    case MediaKind::DvdRw:
      t = {0x14, false, true, true, false, true, false, 2298496};
      break;
    case MediaKind::DvdRwRestricted:
      t = {0x13, false, true, true, true, false, false, 2298496};
      break;
    case MediaKind::DvdPlusR:
      t = {0x1B, false, true, false, false, false, true, 2295104};
      break;
    case MediaKind::DvdPlusRw:
      t = {0x1A, false, true, false, true, false, true, 2295104};
      break;
    case MediaKind::DvdPlusRDl:
      t = {0x2B, false, true, false, false, false, true, 4173824, 2};
      break;
  }
  return t;
}

std::optional<MediaKind> parseMediaKind(std::string_view text) {
  for (const auto& [name, kind] : kNames)
    if (name == text) return kind;
  return std::nullopt;
}

std::string_view mediaName(MediaKind kind) {
  for (const auto& [name, k] : kNames)
    if (k == kind) return name;
  return "?";
}

DriveKind defaultDriveFor(MediaKind kind) {
  return kind == MediaKind::None || traitsOf(kind).cd ? DriveKind::Cd : DriveKind::Dvd;
}

}  // namespace emberline::virt
