#include "drive/medium_profile.h"

#include <array>

namespace emberline {

namespace {

struct ProfileRow {
  std::uint16_t profile;
  MediumFamily family;
  MediumType type;
};

constexpr std::array kProfiles{
    ProfileRow{0x0000, MediumFamily::None, MediumType::NoMedium},
    ProfileRow{0x0008, MediumFamily::Cd, MediumType::CdRom},
    ProfileRow{0x0009, MediumFamily::Cd, MediumType::CdR},
    ProfileRow{0x000A, MediumFamily::Cd, MediumType::CdRw},
    ProfileRow{0x0010, MediumFamily::ReadOnly, MediumType::DvdRom},
    ProfileRow{0x0011, MediumFamily::DvdSequential, MediumType::DvdR},
    ProfileRow{0x0012, MediumFamily::RandomWritable, MediumType::DvdRam},
    ProfileRow{0x0013, MediumFamily::RandomWritable, MediumType::DvdRwRestricted},
    ProfileRow{0x0014, MediumFamily::DvdSequential, MediumType::DvdRwSequential},
    ProfileRow{0x0015, MediumFamily::DvdSequential, MediumType::DvdRDualLayer},
    ProfileRow{0x0016, MediumFamily::DvdSequential, MediumType::DvdRDualLayer},
    ProfileRow{0x001A, MediumFamily::RandomWritable, MediumType::DvdPlusRw},
    ProfileRow{0x001B, MediumFamily::DvdPlusSequential, MediumType::DvdPlusR},
    ProfileRow{0x0020, MediumFamily::Cd, MediumType::DdCdRom},
    ProfileRow{0x0021, MediumFamily::Cd, MediumType::DdCdR},
    ProfileRow{0x0022, MediumFamily::Cd, MediumType::DdCdRw},
    ProfileRow{0x002B, MediumFamily::DvdPlusSequential, MediumType::DvdPlusRDualLayer},
    // BD-ROM has a family but no type: calling it BD-R would promise a writable disc.
    ProfileRow{0x0040, MediumFamily::Other, MediumType::Unknown},
    ProfileRow{0x0041, MediumFamily::Other, MediumType::BdR},
    ProfileRow{0x0042, MediumFamily::Other, MediumType::BdR},
    ProfileRow{0x0043, MediumFamily::Other, MediumType::BdRe},
    ProfileRow{0x0050, MediumFamily::Other, MediumType::HdDvdRom},
    ProfileRow{0x0051, MediumFamily::Other, MediumType::HdDvdR},
    ProfileRow{0x0052, MediumFamily::Other, MediumType::HdDvdRw},
    ProfileRow{0x0053, MediumFamily::Other, MediumType::HdDvdRw},
};

constexpr ProfileRow kUnlisted{0xFFFF, MediumFamily::Other, MediumType::Unknown};

const ProfileRow& rowOf(std::uint16_t profile) {
  for (const ProfileRow& row : kProfiles)
    if (row.profile == profile) return row;
  return kUnlisted;
}

}  // namespace

MediumFamily familyOfProfile(std::uint16_t profile) {
  return rowOf(profile).family;
}

MediumType mediumTypeOfProfile(std::uint16_t profile) {
  return rowOf(profile).type;
}

bool isPressedProfile(std::uint16_t profile) {
  return profile == profile::kCdRom || profile == profile::kDvdRom || profile == profile::kDdCdRom;
}

}  // namespace emberline
