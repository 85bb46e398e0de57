#pragma once
/// @file
/// The kinds of medium a virtual drive can hold and their fixed properties.

#include <cstdint>
#include <optional>
#include <string_view>

namespace emberline::virt {

/// DvdRwRestricted is a DVD-RW formatted for restricted overwrite.
enum class MediaKind : std::uint8_t {
  None,
  CdRom,
  CdR,
  CdRw,
  DvdRom,
  DvdR,
  DvdRw,
  DvdRwRestricted,
  DvdPlusR,
  DvdPlusRw,
  DvdPlusRDl
};

/// Which media family the drive mechanism handles.
enum class DriveKind : std::uint8_t { Cd, Dvd };

/// What never changes about a medium of one kind.
struct MediaTraits {
  std::uint16_t profile = 0;    ///< MMC profile number (0 for no medium)
  bool cd = false;              ///< a CD (BIN/CUE image, MSF addresses)
  bool recordable = false;      ///< the host may write it
  bool erasable = false;        ///< BLANK resets it (CD-RW, DVD-RW)
  bool randomWritable = false;  ///< overwrite anywhere up to the recorded end (DVD+RW)
  bool testWritable = false;    ///< the medium supports simulated writes
  bool plusFormat = false;      ///< DVD+R family: no page 05h, sessions stay appendable
  std::int32_t capacity = 0;    ///< user blocks of a blank disc (for pressed discs: unused)
  int layers = 1;               ///< recording layers (DVD+R DL: two, layer 0 first)
};

MediaTraits traitsOf(MediaKind kind);

/// The spelling used in the writer configuration ("cd-r", "dvd+r-dl", ...).
std::optional<MediaKind> parseMediaKind(std::string_view text);
std::string_view mediaName(MediaKind kind);

/// The drive family a medium calls for by default (Cd for None).
DriveKind defaultDriveFor(MediaKind kind);

}  // namespace emberline::virt
