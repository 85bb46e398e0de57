// The one mapping from a drive's current profile to the medium family and
// the disc type callers see, and how the drive layer reads the profile.

#include <gtest/gtest.h>

#include "drive/drive.h"
#include "emberline/disc_type.h"
#include "emberline/mmc/replay_transport.h"

namespace emberline {
namespace {

using testing::answer;
using testing::checkCondition;
using testing::ReplayTransport;
using Bytes = std::vector<std::uint8_t>;

const Bytes kTur = {0, 0, 0, 0, 0, 0};
const Bytes kProfileCdb = {0x46, 0x02, 0, 0, 0, 0, 0, 0x00, 0x08, 0};

DISC_TYPE discTypeForProfile(std::uint16_t profile) {
  return static_cast<DISC_TYPE>(mediumTypeOfProfile(profile));
}

Bytes profileHeader(std::uint16_t profile) {
  return {
      0x00, 0x00, 0x00, 0x04, 0x00, 0x00, static_cast<std::uint8_t>(profile >> 8), static_cast<std::uint8_t>(profile)};
}

TEST(MediumKind, ProfilesMapToDiscTypes) {
  EXPECT_EQ(discTypeForProfile(0x0009), DISC_TYPE_CDR);
  EXPECT_EQ(discTypeForProfile(0x000A), DISC_TYPE_CDRW);
  EXPECT_EQ(discTypeForProfile(0x0013), DISC_TYPE_DVDRWRO);
  EXPECT_EQ(discTypeForProfile(0x0014), DISC_TYPE_DVDRWSR);
  EXPECT_EQ(discTypeForProfile(0x0016), DISC_TYPE_DVDR_DL);
  EXPECT_EQ(discTypeForProfile(0x001B), DISC_TYPE_DVDPLUSR);
  EXPECT_EQ(discTypeForProfile(0x002B), DISC_TYPE_DVDPLUSR_DL);
  EXPECT_EQ(discTypeForProfile(0x0043), DISC_TYPE_BDRE);
  EXPECT_EQ(discTypeForProfile(0x0040), DISC_TYPE_UNKNOWN);
  EXPECT_EQ(discTypeForProfile(0x0051), DISC_TYPE_HDDVDR);
  EXPECT_EQ(discTypeForProfile(0x0000), DISC_TYPE_NO_MEDIA);
  EXPECT_EQ(discTypeForProfile(0x1234), DISC_TYPE_UNKNOWN);
}

TEST(MediumKind, FamiliesFollowHowTheMediumIsWritten) {
  EXPECT_EQ(familyOfProfile(0x0000), MediumFamily::None);
  EXPECT_EQ(familyOfProfile(0x0009), MediumFamily::Cd);
  EXPECT_EQ(familyOfProfile(0x0022), MediumFamily::Cd);
  EXPECT_EQ(familyOfProfile(0x0015), MediumFamily::DvdSequential);
  EXPECT_EQ(familyOfProfile(0x002B), MediumFamily::DvdPlusSequential);
  EXPECT_EQ(familyOfProfile(0x0013), MediumFamily::RandomWritable);
  EXPECT_EQ(familyOfProfile(0x0010), MediumFamily::ReadOnly);
  EXPECT_EQ(familyOfProfile(0x0041), MediumFamily::Other);
  EXPECT_EQ(familyOfProfile(0x1234), MediumFamily::Other);
}

TEST(MediumKind, NoMediumFromTestUnitReady) {
  ReplayTransport transport({checkCondition(kTur, 0x02, 0x3A, 0x00)});
  Drive drive(transport);
  EXPECT_EQ(static_cast<DISC_TYPE>(drive.detectMediumType().value()), DISC_TYPE_NO_MEDIA);
}

TEST(MediumKind, CurrentProfileDecidesTheType) {
  ReplayTransport transport({answer(kTur), answer(kProfileCdb, profileHeader(0x001B))});
  Drive drive(transport);
  EXPECT_EQ(static_cast<DISC_TYPE>(drive.detectMediumType().value()), DISC_TYPE_DVDPLUSR);
}

TEST(MediumKind, DriveWithoutConfigurationGivesUnknown) {
  ReplayTransport transport({answer(kTur), checkCondition(kProfileCdb, 0x05, 0x20, 0x00)});
  Drive drive(transport);
  EXPECT_EQ(drive.detectMediumType().value(), MediumType::Unknown);
}

TEST(DriveProfile, ReadOnceUntilTheMediumIsForgotten) {
  // The script holds two profile answers: a third question would fail the replay.
  ReplayTransport transport({answer(kProfileCdb, profileHeader(0x0009)), answer(kProfileCdb, profileHeader(0x001B))});
  Drive drive(transport);
  EXPECT_EQ(drive.family(), MediumFamily::Cd);
  EXPECT_TRUE(drive.cdMedium());
  EXPECT_EQ(drive.currentProfile().value(), 0x0009);
  drive.forgetMedium();
  EXPECT_EQ(drive.family(), MediumFamily::DvdPlusSequential);
}

TEST(DriveProfile, AFailedReadIsNotRemembered) {
  ReplayTransport transport(
      {checkCondition(kProfileCdb, 0x02, 0x04, 0x01), answer(kProfileCdb, profileHeader(0x0011))});
  Drive drive(transport);
  EXPECT_FALSE(drive.currentProfile().ok());
  EXPECT_EQ(drive.family(), MediumFamily::DvdSequential);
}

}  // namespace
}  // namespace emberline
