// The fixed-size records built from drive responses.

#include "api/medium_records.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/msf.h"

namespace emberline {
namespace {

uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

TEST(DiscInformationRecord, CdLeadInIsTurnedFromMsfIntoAnLba) {
  mmc::DiscInformation info;
  info.discStatus = mmc::DiscStatus::Appendable;
  const Msf leadIn = Msf::fromLba(20000);
  info.lastSessionLeadIn = (uint32_t{leadIn.minute} << 16) | (leadIn.second << 8) | leadIn.frame;
  info.lastPossibleLeadOut = 0xFFFFFFFFu;
  const auto cd = encodeDiscInformationRecord(info, true);
  EXPECT_EQ(le32(&cd[14]), 20000u);
  EXPECT_EQ(le32(&cd[18]), 0xFFFFFFFFu) << "not applicable stays not applicable";
  info.lastSessionLeadIn = 123456;
  EXPECT_EQ(le32(&encodeDiscInformationRecord(info, false)[14]), 123456u) << "DVD fields are LBAs already";
}

TEST(DiscInformationRecord, WideTrackNumbersSaturateInsteadOfWrapping) {
  mmc::DiscInformation info;
  info.lastTrackInLastSession = 0x0100;
  EXPECT_EQ(encodeDiscInformationRecord(info, false)[7], 0xFF);
}

TEST(TrackInformationRecord, NextWritableAddressIsZeroWhenTheDriveMarksItInvalid) {
  mmc::TrackInformation info;
  info.nextWritableAddress = 777;
  info.nextWritableAddressValid = false;
  info.freeBlocks = 0x01020304;
  const auto r = encodeTrackInformationRecord(info);
  EXPECT_EQ(r[11], 0);
  EXPECT_EQ(le32(&r[16]), 0u);
  EXPECT_EQ(le32(&r[20]), 0x01020304u);
}

TEST(TocBlock, ResponseTooLargeIsRefusedRatherThanCut) {
  std::vector<uint8_t> response(kTocResponseCapacity + 1, 0);
  EXPECT_FALSE(encodeTocBlock(response).ok());
  response.resize(kTocResponseCapacity);
  auto block = encodeTocBlock(response);
  ASSERT_TRUE(block.ok());
  EXPECT_EQ((*block)[kTocResponseCapacity] | ((*block)[kTocResponseCapacity + 1] << 8), kTocResponseCapacity);
}

std::vector<uint8_t> descriptor(const char* id, const char* volume) {
  std::vector<uint8_t> sector(2048, 0);
  sector[0] = 1;
  std::copy(id, id + 5, sector.begin() + 1);
  std::fill(sector.begin() + 40, sector.begin() + 72, ' ');
  std::copy(volume, volume + std::strlen(volume), sector.begin() + 40);
  return sector;
}

TEST(VolumeLabel, TrailingBlanksGoAndInnerBlanksStay) {
  auto label = volumeLabelFromDescriptor(descriptor("CD001", "MY DISC"));
  ASSERT_TRUE(label.ok());
  EXPECT_EQ(*label, "MY DISC");
}

TEST(VolumeLabel, SectorWithoutTheStandardIdentifierIsNoVolume) {
  EXPECT_FALSE(volumeLabelFromDescriptor(descriptor("BEA01", "X")).ok());
  auto terminator = descriptor("CD001", "X");
  terminator[0] = 0xFF;
  EXPECT_FALSE(volumeLabelFromDescriptor(terminator).ok());
  EXPECT_FALSE(volumeLabelFromDescriptor(std::vector<uint8_t>(100, 0)).ok());
}

}  // namespace
}  // namespace emberline
