// What the flat API reports about each kind of inserted medium.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "virtual_writer_fixture.h"

namespace emberline::test {
namespace {

constexpr uint32_t kCd80Blocks = 359849;

uint32_t le32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t{p[3]} << 24);
}

class MediumQuery : public VirtualWriterTest {
 protected:
  uint8_t testUnitReady(EmberlineHandle h) {
    return Emberline_CdvdWriter_TestUnitReady(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure);
  }
  std::array<uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> discInformation(EmberlineHandle h) {
    std::array<uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> r{};
    EXPECT_EQ(
        Emberline_CdvdWriter_GetDiscInformation(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, r.data()),
        EMBERLINE_OK)
        << out.text;
    return r;
  }
  std::array<uint8_t, EMBERLINE_TRACK_INFORMATION_SIZE> trackInformation(EmberlineHandle h, uint32_t track) {
    std::array<uint8_t, EMBERLINE_TRACK_INFORMATION_SIZE> r{};
    EXPECT_EQ(Emberline_CdvdWriter_GetTrackInformation(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                       track, r.data()),
              EMBERLINE_OK)
        << out.text;
    return r;
  }
  uint32_t freeBlocks(EmberlineHandle h) {
    uint32_t count = 0;
    uint64_t bytes = 0;
    EXPECT_EQ(Emberline_CdvdWriter_GetDiscFreeSpace(h, 3, &count, &bytes), EMBERLINE_OK);
    EXPECT_EQ(bytes, uint64_t{count} * 2048);
    return count;
  }
  uint64_t usedBytes(EmberlineHandle h) {
    uint64_t used = 1;
    EXPECT_EQ(Emberline_CdvdWriter_GetDiscUsedSpace(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &used),
              EMBERLINE_OK)
        << out.text;
    return used;
  }
  CallOutputs out;
};

TEST_F(MediumQuery, NoMediumIsNotReadyWithTheDrivesSense) {
  EmberlineHandle h = openWith("none,drive=cd");
  EXPECT_EQ(testUnitReady(h), EMBERLINE_E_NOT_READY);
  EXPECT_EQ(out.status, 0x023A00u);
  EXPECT_EQ(out.failure.senseKey, 0x02);
  EXPECT_EQ(out.failure.asc, 0x3A);
  EXPECT_NE(std::string(out.text).find("medium not present"), std::string::npos) << out.text;
  EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(h), DISC_TYPE_NO_MEDIA);
}

TEST_F(MediumQuery, PressedCdIsReadOnlyAndComplete) {
  EmberlineHandle h = openWith("cd-rom");
  EXPECT_EQ(testUnitReady(h), EMBERLINE_OK) << out.text;
  EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(h), DISC_TYPE_CDROM);
  EXPECT_EQ(discInformation(h)[1], 2) << "complete";
  uint8_t tao = 9, sao = 9, pq = 9, pw = 9;
  ASSERT_EQ(Emberline_CdvdWriter_ProbeSupportedWriteModes(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                          &tao, &sao, &pq, &pw),
            EMBERLINE_OK);
  EXPECT_EQ(tao + sao + pq + pw, 0);
  EXPECT_EQ(freeBlocks(h), 0u);
}

TEST_F(MediumQuery, BlankCdRHasAllOfItsCapacityFree) {
  EmberlineHandle h = openWith("cd-r");
  EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(h), DISC_TYPE_CDR);
  const auto disc = discInformation(h);
  EXPECT_EQ(disc[0], 1);
  EXPECT_EQ(disc[1], 0) << "blank";
  EXPECT_EQ(disc[3], 0) << "not erasable";
  const auto track = trackInformation(h, EMBERLINE_TRACK_NUMBER_INVISIBLE);
  EXPECT_EQ(track[9], 1) << "blank track";
  EXPECT_EQ(track[11], 1) << "next writable address valid";
  EXPECT_EQ(le32(&track[16]), 0u);
  EXPECT_EQ(freeBlocks(h), kCd80Blocks);
  EXPECT_EQ(usedBytes(h), 0u);

  std::array<uint8_t, EMBERLINE_TOC_INFORMATION_SIZE> toc{};
  toc[EMBERLINE_TOC_INFORMATION_SIZE - 2] = 0xEE;
  ASSERT_EQ(
      Emberline_CdvdWriter_GetTOCInformation(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, toc.data()),
      EMBERLINE_OK);
  EXPECT_EQ(toc[EMBERLINE_TOC_INFORMATION_SIZE - 2] | (toc[EMBERLINE_TOC_INFORMATION_SIZE - 1] << 8), 0);

  char label[64] = "unchanged";
  EXPECT_NE(Emberline_CdvdWriter_GetVolumeLabel(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, label,
                                                sizeof label),
            EMBERLINE_OK);
  EXPECT_NE(std::string(out.text).find("ISO 9660"), std::string::npos) << out.text;
}

TEST_F(MediumQuery, CdRWithOneClosedSessionHasLabelTocAndUsedSpace) {
  EmberlineHandle h = openWith("cd-r,sessions=1,appendable=1,label=BACKUP_2024");
  const auto disc = discInformation(h);
  EXPECT_EQ(disc[1], 1) << "appendable";
  EXPECT_EQ(disc[5], 2) << "the closed session and the empty next one";
  const uint32_t free = freeBlocks(h);
  EXPECT_LT(free, kCd80Blocks);
  EXPECT_GT(free, 0u);
  const uint64_t used = usedBytes(h);
  EXPECT_GT(used, 0u);
  EXPECT_LE(used / 2048 + free, kCd80Blocks);

  char label[64] = {};
  ASSERT_EQ(Emberline_CdvdWriter_GetVolumeLabel(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, label,
                                                sizeof label),
            EMBERLINE_OK)
      << out.text;
  EXPECT_STREQ(label, "BACKUP_2024");

  std::array<uint8_t, EMBERLINE_TOC_INFORMATION_SIZE> toc{};
  Emberline_SetFastReadTOC(1);
  ASSERT_EQ(
      Emberline_CdvdWriter_GetTOCInformation(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, toc.data()),
      EMBERLINE_OK)
      << out.text;
  const unsigned valid = toc[EMBERLINE_TOC_INFORMATION_SIZE - 2] | (toc[EMBERLINE_TOC_INFORMATION_SIZE - 1] << 8);
  ASSERT_EQ(valid, 4u + 2 * 8) << "one track and the lead-out";
  EXPECT_EQ(toc[4 + 8 + 2], 0xAA);
  const uint32_t leadOut =
      (uint32_t{toc[4 + 8 + 4]} << 24) | (toc[4 + 8 + 5] << 16) | (toc[4 + 8 + 6] << 8) | toc[4 + 8 + 7];
  EXPECT_EQ(leadOut, used / 2048) << "the one track fills the session";

  Emberline_SetFastReadTOC(0);
  std::array<uint8_t, EMBERLINE_TOC_INFORMATION_SIZE> msf{};
  ASSERT_EQ(
      Emberline_CdvdWriter_GetTOCInformation(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, msf.data()),
      EMBERLINE_OK);
  Emberline_SetFastReadTOC(1);
  EXPECT_EQ(msf[4 + 5], 0) << "track 1 starts at 00:02:00";
  EXPECT_EQ(msf[4 + 6], 2);
}

TEST_F(MediumQuery, DvdPlusRIsBlankWithoutTestWrite) {
  EmberlineHandle h = openWith("dvd+r");
  EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(h), DISC_TYPE_DVDPLUSR);
  EXPECT_EQ(freeBlocks(h), 2295104u);
  uint8_t f[10];
  std::memset(f, 9, sizeof f);
  ASSERT_EQ(Emberline_CdvdWriter_GetSupportedMediaFormats(h, &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7],
                                                          &f[8], &f[9]),
            EMBERLINE_OK);
  EXPECT_EQ(f[5], 0) << "no simulated write on DVD+R";
  EXPECT_EQ(f[2], 1) << "a DVD drive reads DVD-ROM";
  uint8_t x[6];
  std::memset(x, 9, sizeof x);
  ASSERT_EQ(Emberline_CdvdWriter_GetSupportedMediaFormatsExEx(h, &x[0], &x[1], &x[2], &x[3], &x[4], &x[5]),
            EMBERLINE_OK);
  EXPECT_EQ(x[0], 1);
  EXPECT_EQ(x[2], 1) << "DVD+R write";
  uint8_t tao = 9, sao = 9, pq = 9, pw = 9;
  ASSERT_EQ(Emberline_CdvdWriter_ProbeSupportedWriteModes(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                          &tao, &sao, &pq, &pw),
            EMBERLINE_OK);
  EXPECT_EQ(tao, 1);
  EXPECT_EQ(pq + pw, 0);
}

TEST_F(MediumQuery, DvdMinusRwIsErasableAndOffersDvdWriteModes) {
  EmberlineHandle h = openWith("dvd-rw");
  EXPECT_EQ(Emberline_CdvdWriter_GetInsertedDiscType(h), DISC_TYPE_DVDRWSR);
  EXPECT_EQ(discInformation(h)[3], 1) << "erasable";
  EXPECT_EQ(freeBlocks(h), 2298496u);
  uint8_t tao = 9, sao = 9, pq = 9, pw = 9;
  ASSERT_EQ(Emberline_CdvdWriter_ProbeSupportedWriteModes(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                          &tao, &sao, &pq, &pw),
            EMBERLINE_OK)
      << out.text;
  EXPECT_EQ(tao, 1) << "incremental";
  EXPECT_EQ(sao, 1) << "disc at once";
  EXPECT_EQ(pq + pw, 0) << "raw modes are CD-only";
}

TEST_F(MediumQuery, WriteModeProbeLeavesTheDrivesPageAsItWas) {
  EmberlineHandle h = openWith("cd-r");
  uint8_t enabledBefore = 9, supported = 9;
  ASSERT_EQ(Emberline_CdvdWriter_SetBUP(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, 1), EMBERLINE_OK);
  uint8_t tao = 9, sao = 9, pq = 9, pw = 9;
  ASSERT_EQ(Emberline_CdvdWriter_ProbeSupportedWriteModes(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                          &tao, &sao, &pq, &pw),
            EMBERLINE_OK);
  EXPECT_EQ(tao, 1);
  EXPECT_EQ(sao, 1);
  ASSERT_EQ(Emberline_CdvdWriter_GetBUP(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure, &enabledBefore,
                                        &supported),
            EMBERLINE_OK);
  EXPECT_EQ(enabledBefore, 1) << "BUFE survived the probe";
}

TEST_F(MediumQuery, DriveIdentityAndReadModesComeFromTheDrive) {
  EmberlineHandle h = openWith("cd-r,vendor=ACME,product=Burner 9000,revision=2.5,buffer=4096");
  char vendor[9], product[17], revision[5];
  uint32_t buffer = 0;
  ASSERT_EQ(Emberline_CdvdWriter_GetDeviceInformation(h, vendor, product, revision, &buffer), EMBERLINE_OK);
  EXPECT_STREQ(vendor, "ACME");
  EXPECT_STREQ(product, "Burner 9000");
  EXPECT_STREQ(revision, "2.5");
  EXPECT_EQ(buffer, 4096u * 1024);
  uint8_t r[6];
  std::memset(r, 9, sizeof r);
  ASSERT_EQ(Emberline_CdvdWriter_ProbeSupportedReadModes(h, out.text, EMBERLINE_TEXT_SIZE, &out.status, &out.failure,
                                                         &r[0], &r[1], &r[2], &r[3], &r[4], &r[5]),
            EMBERLINE_OK);
  for (uint8_t v : r) EXPECT_LE(v, 1);
  EXPECT_EQ(r[2], 1) << "CD-DA read";
}

}  // namespace
}  // namespace emberline::test
