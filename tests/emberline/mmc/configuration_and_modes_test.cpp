#include <gtest/gtest.h>

#include "mmc/capabilities_page.h"
#include "mmc/configuration.h"
#include "mmc/write_parameters_page.h"
#include "replay_transport.h"

namespace emberline::mmc {
namespace {

using emberline::testing::answer;
using emberline::testing::ReplayTransport;
using Bytes = std::vector<std::uint8_t>;

// A CD/DVD writer with a CD-R inserted: profile list, TAO and mastering features.
const Bytes kConfigurationCdR = {
    0x00, 0x00, 0x00, 0x24, 0x00, 0x00, 0x00, 0x09,                                                  // header
    0x00, 0x00, 0x03, 0x0C, 0x00, 0x12, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x00, 0x09, 0x01, 0x00,  // profiles
    0x00, 0x2D, 0x09, 0x04, 0x46, 0x00, 0x3F, 0xFF,                                                  // TAO
    0x00, 0x2E, 0x09, 0x04, 0x66, 0x00, 0x10, 0x00,                                                  // mastering
};

TEST(GetConfiguration, ReadsTheHeaderThenTheWholeFeatureList) {
  ReplayTransport drive(
      {answer({0x46, 0, 0, 0, 0, 0, 0, 0x00, 0x08, 0}, Bytes(kConfigurationCdR.begin(), kConfigurationCdR.begin() + 8)),
       answer({0x46, 0, 0, 0, 0, 0, 0, 0x00, 0x28, 0}, kConfigurationCdR)});
  auto config = getConfiguration(drive);
  ASSERT_TRUE(config.ok()) << config.error().message;
  EXPECT_EQ(config->currentProfile, 0x0009);
  ASSERT_EQ(config->profiles.size(), 3u);
  EXPECT_EQ(config->profiles[0].profile, 0x0012);
  EXPECT_FALSE(config->profiles[0].current);
  EXPECT_TRUE(config->profiles[2].current);
  EXPECT_TRUE(config->supportsProfile(0x000A));
  EXPECT_FALSE(config->supportsProfile(0x001B));
  EXPECT_TRUE(config->isCurrent(feature::kCdTrackAtOnce));
  EXPECT_FALSE(config->hasFeature(feature::kDvdRWrite));

  const auto tao = config->trackAtOnce();
  ASSERT_TRUE(tao.has_value());
  EXPECT_TRUE(tao->bufferUnderrunFree);
  EXPECT_TRUE(tao->testWrite);
  EXPECT_FALSE(tao->rwRaw);
  const auto sao = config->mastering();
  ASSERT_TRUE(sao.has_value());
  EXPECT_TRUE(sao->sessionAtOnce);
  EXPECT_FALSE(sao->raw);
  EXPECT_EQ(sao->maximumCueSheetLength, 0x1000u);
}

TEST(GetConfiguration, DescriptorOverrunningTheDataIsCutNotOverread) {
  Bytes broken = {0x00, 0x00, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x2D, 0x09, 0x40, 0x46, 0x00};
  const Configuration config = parseConfiguration(broken);
  ASSERT_EQ(config.features.size(), 1u);
  EXPECT_EQ(config.features[0].data.size(), 2u);
}

Bytes capabilitiesResponse() {
  Bytes page = {0x2A, 0x26, 0x3F, 0x37, 0xF1, 0x37, 0x29, 0x03, 0x1B, 0x90, 0x01, 0x00, 0x08, 0x00,
                0x1B, 0x90, 0x00, 0x10, 0x1B, 0x90, 0x1B, 0x90, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00,
                0x10, 0x8A, 0x00, 0x02, 0x00, 0x00, 0x1B, 0x90, 0x00, 0x01, 0x10, 0x8A};
  Bytes response = {0x00, 0x2E, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  response.insert(response.end(), page.begin(), page.end());
  return response;
}

TEST(CapabilitiesPage, DecodesMediaSupportModesAndSpeeds) {
  ReplayTransport drive({answer({0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0x00, 0x40, 0}, capabilitiesResponse())});
  auto caps = readCapabilities(drive);
  ASSERT_TRUE(caps.ok()) << caps.error().message;
  EXPECT_TRUE(caps->readDvdRam);
  EXPECT_TRUE(caps->writeCdR);
  EXPECT_TRUE(caps->writeCdRw);
  EXPECT_TRUE(caps->testWrite);
  EXPECT_TRUE(caps->writeDvdR);
  EXPECT_TRUE(caps->bufferUnderrunProtection);
  EXPECT_TRUE(caps->mode2Form1);
  EXPECT_TRUE(caps->mode2Form2);
  EXPECT_TRUE(caps->cddaRead);
  EXPECT_TRUE(caps->cddaAccurateStream);
  EXPECT_TRUE(caps->rwSupported);
  EXPECT_TRUE(caps->c2Pointers);
  EXPECT_TRUE(caps->eject);
  EXPECT_TRUE(caps->lock);
  EXPECT_EQ(caps->loadingMechanism, 1);
  EXPECT_EQ(caps->bufferSizeKB, 2048);
  EXPECT_EQ(caps->maximumReadSpeedKBps, 7056);
  EXPECT_EQ(caps->maximumWriteSpeedKBps, 7056);
  EXPECT_EQ(caps->currentWriteSpeedKBps, 4234);  // the newer field wins over bytes 20-21
  ASSERT_EQ(caps->writeSpeeds.size(), 2u);
  EXPECT_EQ(caps->writeSpeeds[0].speedKBps, 7056);
  EXPECT_EQ(caps->writeSpeeds[1].rotationControl, 1);
  EXPECT_EQ(caps->writeSpeeds[1].speedKBps, 4234);
}

TEST(CapabilitiesPage, ShortOldStylePageDecodesWithoutSpeedDescriptors) {
  const Bytes page = {0x2A, 0x12, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x0B, 0x0A,
                      0x00, 0x00, 0x04, 0x00, 0x0B, 0x0A, 0x00, 0x00, 0x06, 0xE4};
  const Capabilities caps = decodeCapabilities(page);
  EXPECT_TRUE(caps.writeCdR);
  EXPECT_EQ(caps.bufferSizeKB, 1024);
  EXPECT_EQ(caps.maximumWriteSpeedKBps, 0x06E4);
  EXPECT_TRUE(caps.writeSpeeds.empty());
}

TEST(ModeSense, AnotherPageInTheReplyIsNotTakenForTheOneAsked) {
  Bytes response = capabilitiesResponse();
  response[8] = 0x05;
  ReplayTransport drive({answer({0x5A, 0x08, 0x2A, 0, 0, 0, 0, 0x00, 0x40, 0}, response)});
  auto caps = readCapabilities(drive);
  ASSERT_FALSE(caps.ok());
  EXPECT_EQ(caps.error().kind, ErrorKind::NotSupported);
}

Bytes writeParametersResponse() {
  Bytes response = {0x00, 0x3A, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
  Bytes page(0x34, 0);
  page[0] = 0x85;  // PS set, as drives report it
  page[1] = 0x32;
  page[2] = 0x41;  // BUFE, track at once
  page[3] = 0x04;
  page[4] = 0x08;
  page[15] = 0x96;
  response.insert(response.end(), page.begin(), page.end());
  return response;
}

TEST(WriteParametersPage, SelectSendsTheSensedPageWithChangesAndPsCleared) {
  ReplayTransport drive({answer({0x5A, 0x08, 0x05, 0, 0, 0, 0, 0x00, 0x40, 0}, writeParametersResponse()),
                         answer({0x55, 0x10, 0, 0, 0, 0, 0, 0x00, 0x3C, 0})});
  auto params = readWriteParameters(drive);
  ASSERT_TRUE(params.ok()) << params.error().message;
  EXPECT_TRUE(params->parametersSavable);
  EXPECT_TRUE(params->bufferUnderrunFree);
  EXPECT_EQ(params->writeType, WriteType::TrackAtOnce);
  EXPECT_EQ(params->dataBlockType, data_block::kMode1);
  EXPECT_EQ(params->audioPauseLength, 150);

  WriteParameters changed = *params;
  changed.writeType = WriteType::SessionAtOnce;
  changed.testWrite = true;
  changed.multiSession = MultiSession::NextSessionAllowed;
  changed.dataBlockType = data_block::kMode2Mixed;
  changed.sessionFormat = 0x20;
  ASSERT_TRUE(writeWriteParameters(drive, changed).ok());

  ASSERT_EQ(drive.sentData.size(), 1u);
  const Bytes& sent = drive.sentData[0];
  ASSERT_EQ(sent.size(), 60u);
  EXPECT_EQ(Bytes(sent.begin(), sent.begin() + 8), Bytes(8, 0));
  EXPECT_EQ(sent[8], 0x05);
  EXPECT_EQ(sent[9], 0x32);
  EXPECT_EQ(sent[10], 0x52);
  EXPECT_EQ(sent[11], 0xC4);
  EXPECT_EQ(sent[12], 13);
  EXPECT_EQ(sent[16], 0x20);
  EXPECT_EQ(sent[23], 0x96);
}

TEST(WriteParametersPage, LongPageKeepsItsLengthAndVendorBytes) {
  Bytes page(0x38, 0);
  page[0] = 0x85;
  page[1] = 0x36;
  page[2] = 0x02;
  page[3] = 0xC5;
  page[4] = 0x0A;
  page[5] = 0x07;
  page[7] = 0x2A;
  page[13] = 0x10;
  for (std::size_t i = 16; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i);
  auto decoded = decodeWriteParameters(page);
  ASSERT_TRUE(decoded.ok());
  EXPECT_EQ(decoded->packetSize, 16u);
  EXPECT_EQ(decoded->mediaCatalogNumber[0], 16);
  EXPECT_EQ(decoded->isrc[15], 47);
  EXPECT_EQ(decoded->subheader[3], 51);
  ASSERT_EQ(decoded->vendorSpecific.size(), 4u);
  Bytes expected = page;
  expected[0] = 0x05;
  EXPECT_EQ(encodeWriteParameters(*decoded), expected);
}

TEST(WriteParametersPage, TruncatedPageIsRefused) {
  const Bytes page = {0x05, 0x32, 0x41, 0x04};
  EXPECT_FALSE(decodeWriteParameters(page).ok());
}

}  // namespace
}  // namespace emberline::mmc
