#pragma once
// What the drive's current profile says about the inserted medium: the family
// that decides how the drive is talked to, and the disc type callers are told.
// Every answer comes from one table, so the two can never disagree.

#include <cstdint>

namespace emberline {

enum class MediumFamily : std::uint8_t {
  None,               ///< no medium, or the drive names no profile
  Cd,                 ///< CD-ROM, CD-R, CD-RW (and DDCD)
  DvdSequential,      ///< DVD-R, DVD-RW sequential, DVD-R DL: track and session closes
  DvdPlusSequential,  ///< DVD+R, DVD+R DL: no write parameters page, closed by CLOSE TRACK/SESSION
  RandomWritable,     ///< DVD+RW, DVD-RW restricted overwrite, DVD-RAM: a cache flush ends a write
  ReadOnly,           ///< DVD-ROM and other pressed media outside the CD family
  Other,
};

/// The kind of disc, numbered as the flat interface reports it (one byte).
enum class MediumType : std::uint8_t {
  Unknown = 0,
  CdRom = 1,
  CdR = 2,
  CdRw = 3,
  DvdRom = 4,
  DvdR = 5,
  DvdRam = 6,
  DvdRwRestricted = 7,
  DvdRwSequential = 8,
  DvdPlusRw = 9,
  DdCdRom = 10,
  DdCdR = 11,
  DdCdRw = 12,
  DvdPlusR = 13,
  NoMedium = 14,
  DvdPlusRDualLayer = 15,
  DvdRDualLayer = 16,
  BdR = 17,
  BdRe = 18,
  HdDvdRom = 19,
  HdDvdR = 20,
  HdDvdRw = 21,
};

/// Profile numbers the library decides on by name.
namespace profile {
inline constexpr std::uint16_t kNone = 0x0000;
inline constexpr std::uint16_t kCdRom = 0x0008;
inline constexpr std::uint16_t kDvdRom = 0x0010;
inline constexpr std::uint16_t kDdCdRom = 0x0020;
inline constexpr std::uint16_t kDvdPlusRw = 0x001A;
inline constexpr std::uint16_t kDvdPlusR = 0x001B;
inline constexpr std::uint16_t kDvdPlusRDualLayer = 0x002B;
}  // namespace profile

MediumFamily familyOfProfile(std::uint16_t profile);

/// Profile 0 (none) is no medium; profiles without a type of their own
/// (BD-ROM, say) are unknown rather than a writable type they are not.
MediumType mediumTypeOfProfile(std::uint16_t profile);

/// Pressed media: nothing can be recorded on them whatever the drive offers.
bool isPressedProfile(std::uint16_t profile);

}  // namespace emberline
