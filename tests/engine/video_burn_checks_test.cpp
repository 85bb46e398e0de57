// The checks before a video burn: each on its own, then together on the
// virtual writers' discs.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "action_run.h"
#include "engine/burn_checks.h"
#include "engine/burner.h"
#include "engine/page_checks.h"
#include "engine/tsb_error.h"
#include "engine/video_burn_options.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

template <class Check>
QString Refusal(Check check) {
  try {
    check();
  } catch (const TsbError& e) {
    return e.Message();
  }
  return {};
}

// The source step's two checks, as the wizard makes them one after the other.
void CheckVideoSource(std::uint8_t kind, const QString& path) {
  CheckSourceGiven(path);
  CheckSourceFileExists(kind, path);
}

const QString kNotWritable = QStringLiteral("No writable disc is inserted");
const QString kCd = QStringLiteral("Please insert blank CD-R or CD-RW media!");
const QString kDvd = QStringLiteral("Please insert blank DVD-R, DVD+R, DVD-RW, DVD+RW media!");

}  // namespace

TEST(VideoBurnChecks, TheDiscMustBeWritableBlankAndOfTheKindsMedium) {
  for (DISC_TYPE type : {DISC_TYPE_NO_MEDIA, DISC_TYPE_UNKNOWN, DISC_TYPE_CDROM, DISC_TYPE_DVDROM, DISC_TYPE_DDCDROM})
    EXPECT_EQ(Refusal([&] { CheckDiscWritable(1, type); }), kNotWritable) << int(type);
  EXPECT_EQ(Refusal([] { CheckDiscWritable(1, DISC_TYPE_CDRW); }), QString());

  EXPECT_EQ(Refusal([] {
              CheckDiscBlank({1000, 2000, 1000, 0});
            }),
            QStringLiteral("Disc is not blank, burning is impossible!"));
  EXPECT_EQ(Refusal([] { CheckDiscBlank({2000, 2000, 0, 0}); }), QString());

  for (DISC_TYPE type : {DISC_TYPE_CDR, DISC_TYPE_CDRW, DISC_TYPE_DDCDR, DISC_TYPE_DDCDRW}) {
    EXPECT_EQ(Refusal([&] { CheckDiscSuitsKind(vkVideoCD, type); }), QString()) << int(type);
    EXPECT_EQ(Refusal([&] { CheckDiscSuitsKind(vkSuperVideoCD, type); }), QString()) << int(type);
    EXPECT_EQ(Refusal([&] { CheckDiscSuitsKind(vkDVDVideo, type); }), kDvd) << int(type);
  }
  for (DISC_TYPE type : {DISC_TYPE_DVDR, DISC_TYPE_DVDRWRO, DISC_TYPE_DVDRWSR, DISC_TYPE_DVDPLUSRW, DISC_TYPE_DVDPLUSR,
                         DISC_TYPE_DVDPLUSR_DL}) {
    EXPECT_EQ(Refusal([&] { CheckDiscSuitsKind(vkDVDVideo, type); }), QString()) << int(type);
    EXPECT_EQ(Refusal([&] { CheckDiscSuitsKind(vkVideoCD, type); }), kCd) << int(type);
  }
  EXPECT_TRUE(Refusal([] { CheckDiscSuitsKind(3, DISC_TYPE_CDR); }).startsWith(QStringLiteral("Unknown video")));
}

TEST(VideoBurnChecks, ASourceOfExactlyTheFreeSpaceFitsAndOneByteMoreDoesNot) {
  const std::int64_t free = 4700000000;  // beyond 32 bits
  EXPECT_EQ(Refusal([&] { CheckSourceFits(free, free); }), QString());
  EXPECT_EQ(Refusal([&] { CheckSourceFits(free, free + 1); }),
            QStringLiteral("Total file(s) size to big for burning on this disc!"));
}

TEST(VideoBurnChecks, TheSourcePathAndTheTemplate) {
  QTemporaryDir dir;
  EXPECT_EQ(Refusal([] { CheckVideoSource(vkVideoCD, {}); }),
            QStringLiteral("You must select source path for video data!"));
  EXPECT_EQ(Refusal([&] { CheckVideoSource(vkSuperVideoCD, dir.filePath(QStringLiteral("none.mpg"))); }),
            QStringLiteral("Specified file cannot be found"));
  EXPECT_EQ(Refusal([&] { CheckVideoSource(vkVideoCD, dir.path()); }),
            QStringLiteral("Specified file cannot be found"));
  // A DVD-Video folder is not looked for, and needs no template.
  EXPECT_EQ(Refusal([&] { CheckVideoSource(vkDVDVideo, dir.filePath(QStringLiteral("VIDEO_TS"))); }), QString());
  EXPECT_EQ(VideoTemplatePath(vkDVDVideo), QString());

  // The build puts both templates beside the test program.
  EXPECT_EQ(VideoTemplatePath(vkVideoCD), QStringLiteral(ONDRELLE_TEST_BINARY_DIR "/Emberline_VideoCD.iso"));
  EXPECT_EQ(VideoTemplatePath(vkSuperVideoCD), QStringLiteral(ONDRELLE_TEST_BINARY_DIR "/Emberline_SuperVideoCD.iso"));
  EXPECT_EQ(Refusal([] { CheckTemplatePresent(VideoTemplatePath(vkVideoCD)); }), QString());
  EXPECT_EQ(Refusal([] { CheckTemplatePresent(VideoTemplatePath(vkSuperVideoCD)); }), QString());
}

TEST(VideoBurnChecks, TogetherOnTheOpenWriterInThePagesOrder) {
  VirtualWriters writers("cd-r,sessions=1,appendable=1;dvd+r;cd-rw");
  QTemporaryDir dir;
  const QString mpeg = dir.filePath(QStringLiteral("a.mpg"));
  QFile file(mpeg);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QByteArray(1000, '\0'));
  file.close();

  auto check = [&](const char* device, std::uint8_t kind, const QString& source) {
    TsbBurner burner;
    OpenVirtualWriter(burner, device);
    const QString refusal = Refusal([&] { CheckBeforeVideoBurn(burner, kind, source); });
    EXPECT_EQ(burner.LastMessage, refusal);
    return refusal;
  };
  EXPECT_EQ(check("CdRom16", vkVideoCD, mpeg), QStringLiteral("Disc is not blank, burning is impossible!"));
  EXPECT_EQ(check("CdRom17", vkVideoCD, mpeg), kCd);
  EXPECT_EQ(check("CdRom18", vkDVDVideo, dir.path()), kDvd);
  EXPECT_EQ(check("CdRom18", vkSuperVideoCD, {}), QStringLiteral("You must select source path for video data!"));
  EXPECT_EQ(check("CdRom18", vkSuperVideoCD, mpeg), QString());
  EXPECT_EQ(check("CdRom17", vkDVDVideo, dir.path()), QString());
}
