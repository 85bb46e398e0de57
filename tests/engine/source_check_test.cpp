// A video source checked through the library when it is chosen: what each
// kind takes and refuses in the user's words, the description of a good
// source, and the plain sentence a failed burn's error box leads with.

#include "engine/source_check.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "emberline/emberline.h"
#include "engine/burn_failure_text.h"
#include "engine/video_burn_options.h"
#include "support/video_sources.h"
#include "support/virtual_writers.h"

using namespace ondrelle;
using test_support::DvdFixture;
using test_support::VideoFixture;
using test_support::VideoFixturesPresent;

TEST(SourceCheck, EachCDKindTakesItsOwnMpegAndSaysWhatItFound) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  VirtualWriters library("none");

  const TsbSourceCheck vcd = CheckVideoSource(vkVideoCD, VideoFixture("vcd-pal.mpg"));
  ASSERT_TRUE(vcd.Passed()) << vcd.Refusal.toStdString() << " / " << vcd.Detail.toStdString();
  EXPECT_EQ(vcd.SystemVersion, 1);
  EXPECT_EQ(vcd.Width, 352);
  EXPECT_EQ(vcd.Height, 288);
  EXPECT_EQ(vcd.Bytes, QFileInfo(VideoFixture("vcd-pal.mpg")).size());
  // Track 1 (at least 300 sectors), the pregap and postgap, the margins and one sector per pack.
  EXPECT_GT(vcd.DiscSectors, 300u + 150u + 150u + 75u + static_cast<std::uint64_t>(vcd.Bytes / 2324) - 1);
  // The share is of the free sectors, rounded up.
  const QString described = SourceDescription(vcd, vcd.DiscSectors * 4);
  EXPECT_TRUE(described.startsWith(QStringLiteral("MPEG-1, 352x288, 25 fps, 3 s, 0.")));
  EXPECT_TRUE(described.endsWith(QStringLiteral(": 25 % of the disc"))) << described.toStdString();
  EXPECT_FALSE(SourceDescription(vcd, 0).contains(QLatin1Char('%')));

  const TsbSourceCheck ntsc = CheckVideoSource(vkVideoCD, VideoFixture("vcd-ntsc.mpg"));
  ASSERT_TRUE(ntsc.Passed());
  EXPECT_TRUE(SourceDescription(ntsc, 0).startsWith(QStringLiteral("MPEG-1, 352x240, 29.97 fps, 3 s")))
      << SourceDescription(ntsc, 0).toStdString();

  const TsbSourceCheck svcd = CheckVideoSource(vkSuperVideoCD, VideoFixture("svcd-pal.mpg"));
  ASSERT_TRUE(svcd.Passed()) << svcd.Refusal.toStdString();
  EXPECT_TRUE(SourceDescription(svcd, 0).startsWith(QStringLiteral("MPEG-2, 480x576, 25 fps, 3 s")));
}

TEST(SourceCheck, AWrongSourceIsRefusedInPlainWordsWithTheLibrarysTextKeptApart) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  VirtualWriters library("none");
  QTemporaryDir scratch;

  const TsbSourceCheck mpeg2 = CheckVideoSource(vkVideoCD, VideoFixture("svcd-pal.mpg"));
  EXPECT_EQ(mpeg2.Result, TsbSourceCheck::Outcome::Refused);
  EXPECT_EQ(mpeg2.Refusal, QStringLiteral("This file is MPEG-2, which a Video CD cannot carry: choose an MPEG-1 "
                                          "file, or go back and choose Super Video CD."));
  EXPECT_TRUE(mpeg2.Detail.contains(QStringLiteral("MPEG-2 stream given for a Video CD")));

  const TsbSourceCheck mpeg1 = CheckVideoSource(vkSuperVideoCD, VideoFixture("vcd-pal.mpg"));
  EXPECT_EQ(mpeg1.Refusal, QStringLiteral("This file is MPEG-1, which a Super Video CD cannot carry: choose an "
                                          "MPEG-2 file, or go back and choose Video CD."));

  // Any other fault is named without the path, with what to choose instead.
  const TsbSourceCheck size = CheckVideoSource(vkVideoCD, VideoFixture("mpeg1-640x360.mpg"));
  EXPECT_TRUE(size.Refusal.startsWith(QStringLiteral("This file cannot be burned as a Video CD (")))
      << size.Refusal.toStdString();
  EXPECT_TRUE(size.Refusal.contains(QStringLiteral("640x360")));
  EXPECT_FALSE(size.Refusal.contains(VideoFixture("mpeg1-640x360.mpg")));
  EXPECT_TRUE(
      size.Refusal.endsWith(QStringLiteral("choose an MPEG-1 file made for a Video CD (352x288 at 25 fps, "
                                           "or 352x240 at 29.97 or 23.976 fps).")));
  EXPECT_TRUE(CheckVideoSource(vkVideoCD, VideoFixture("text.txt")).Refusal.contains(QStringLiteral("MPEG")));

  const TsbSourceCheck gone = CheckVideoSource(vkVideoCD, scratch.filePath(QStringLiteral("gone.mpg")));
  EXPECT_TRUE(gone.Refusal.startsWith(QStringLiteral("The file cannot be read ("))) << gone.Refusal.toStdString();

  const TsbSourceCheck noVideoTs = CheckVideoSource(vkDVDVideo, scratch.path());
  EXPECT_EQ(noVideoTs.Result, TsbSourceCheck::Outcome::Refused);
  EXPECT_TRUE(noVideoTs.Refusal.startsWith(QStringLiteral("This folder cannot be burned as a DVD-Video disc (")))
      << noVideoTs.Refusal.toStdString();
  EXPECT_TRUE(noVideoTs.Refusal.contains(QStringLiteral("VIDEO_TS")));
  EXPECT_EQ(CheckVideoSource(vkDVDVideo, DvdFixture("missing-bup")).Result, TsbSourceCheck::Outcome::Refused);
}

TEST(SourceCheck, ADvdFolderIsMeasuredAsTheImageTheBurnWrites) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  VirtualWriters library("none");
  for (const char* given : {"one-title/VIDEO_TS", "one-title/", "two-titlesets"}) {
    const TsbSourceCheck dvd = CheckVideoSource(vkDVDVideo, DvdFixture(given));
    ASSERT_TRUE(dvd.Passed()) << given << ": " << dvd.Refusal.toStdString();
    EXPECT_EQ(dvd.DiscSectors * 2048, static_cast<std::uint64_t>(dvd.Bytes)) << given;
    // The image holds the folder's files and the file systems' structures.
    std::int64_t files = 0;
    const QString folder = QFileInfo(DvdFixture(given)).fileName() == QLatin1String("VIDEO_TS")
                               ? DvdFixture(given)
                               : QDir(DvdFixture(given)).filePath(QStringLiteral("VIDEO_TS"));
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) files += file.size();
    EXPECT_GT(dvd.Bytes, files) << given;
    EXPECT_TRUE(SourceDescription(dvd, dvd.DiscSectors).startsWith(QStringLiteral("DVD-Video, ")));
    EXPECT_TRUE(SourceDescription(dvd, dvd.DiscSectors).endsWith(QStringLiteral(": 100 % of the disc")));
  }
}

TEST(SourceCheck, ACancelledCheckSaysSoAndAChangedSourceChangesItsFingerprint) {
  if (!VideoFixturesPresent()) GTEST_SKIP() << "no test media in this build";
  VirtualWriters library("none");
  std::uint8_t cancel = 1;
  EXPECT_EQ(CheckVideoSource(vkSuperVideoCD, VideoFixture("svcd-pal.mpg"), &cancel).Result,
            TsbSourceCheck::Outcome::Cancelled);

  QTemporaryDir scratch;
  const QString copy = scratch.filePath(QStringLiteral("movie.mpg"));
  ASSERT_TRUE(QFile::copy(VideoFixture("vcd-pal.mpg"), copy));
  const QString before = SourceFingerprint(copy);
  EXPECT_FALSE(before.isEmpty());
  QFile file(copy);
  ASSERT_TRUE(file.open(QIODevice::Append));
  file.write("x");
  file.close();
  EXPECT_NE(SourceFingerprint(copy), before);
  ASSERT_TRUE(QFile::remove(copy));
  EXPECT_TRUE(SourceFingerprint(copy).isEmpty());
  // A folder changes with a file below it.
  const QString folderBefore = SourceFingerprint(scratch.path());
  QFile added(scratch.filePath(QStringLiteral("added.IFO")));
  ASSERT_TRUE(added.open(QIODevice::WriteOnly));
  added.write("12345");
  added.close();
  EXPECT_NE(SourceFingerprint(scratch.path()), folderBefore);
}

TEST(SourceCheck, SectorsDecideWhetherItFitsNotBytes) {
  EXPECT_EQ(SectorShortageText(vkVideoCD, 512, 512), QString());
  EXPECT_EQ(SectorShortageText(vkVideoCD, 1047, 512),
            QStringLiteral("A Video CD of this source needs 1047 sectors but the disc has 512 free: choose a shorter "
                           "file, or insert a blank disc with more room."));
  EXPECT_TRUE(SectorShortageText(vkDVDVideo, 2, 1).startsWith(QStringLiteral("A DVD-Video disc of this source")));
}

TEST(BurnFailureText, TheBoxLeadsWithOnePlainSentenceAndKnowsASourceFault) {
  const QString source = QStringLiteral("/home/user/holiday.mpg");
  const TsbPlainFailure wrongKind = PlainBurnFailure(
      QStringLiteral("Emberline_CdvdWriter_VideoCD() failed, exception 1, status 0, text \"%1: MPEG-2 stream given "
                     "for a Video CD\"")
          .arg(source),
      vkVideoCD, source);
  EXPECT_EQ(wrongKind.Sentence, QStringLiteral("This file is MPEG-2, which a Video CD cannot carry: choose an MPEG-1 "
                                               "file, or go back and choose Super Video CD."));
  EXPECT_TRUE(wrongKind.SourceAtFault);

  const TsbPlainFailure sectors = PlainBurnFailure(
      QStringLiteral("Emberline_CdvdWriter_VideoCD() failed, exception 7, status 0, text \"a Video CD of %1 needs "
                     "1047 sectors but the disc has 512 free\"")
          .arg(source),
      vkVideoCD, source);
  EXPECT_EQ(sectors.Sentence, SectorShortageText(vkVideoCD, 1047, 512));
  EXPECT_TRUE(sectors.SourceAtFault);

  const TsbPlainFailure folder = PlainBurnFailure(
      QStringLiteral("Emberline_DVDVideo_Create() failed, exception 1, status 0, text \"The folder /m is not a "
                     "DVD-Video folder: it holds no VIDEO_TS folder\""),
      vkDVDVideo, QStringLiteral("/m"));
  EXPECT_TRUE(folder.SourceAtFault);
  EXPECT_FALSE(folder.Sentence.contains(QStringLiteral("Emberline_")));

  // A drive's failure while writing: no call name, code or status, and no way back.
  const TsbPlainFailure drive = PlainBurnFailure(
      QStringLiteral("Emberline_CdvdWriter_VideoCD() failed, exception 4, status 197632, text \"WRITE(10) at LBA "
                     "500: medium error\"\\n"),
      vkVideoCD, source);
  EXPECT_FALSE(drive.SourceAtFault);
  EXPECT_EQ(drive.Sentence, QStringLiteral("The writer reported an error: try again with a new blank disc or at a "
                                           "lower speed; the burning log has the details."));
  EXPECT_FALSE(PlainBurnFailure(QStringLiteral("Emberline_CdvdWriter_TrackAtOnceFromTree() failed, exception 5, "
                                               "status 0, text \"no medium\""),
                                vkDVDVideo, source)
                   .SourceAtFault);

  // The program's own texts are plain already; a vanished source is the source's fault.
  EXPECT_EQ(PlainBurnFailure(QStringLiteral("Specified file cannot be found"), vkVideoCD, source).Sentence,
            QStringLiteral("Specified file cannot be found"));
  EXPECT_TRUE(PlainBurnFailure(QStringLiteral("Specified file cannot be found"), vkVideoCD, source).SourceAtFault);
  EXPECT_FALSE(PlainBurnFailure(QStringLiteral("Burning failed"), vkVideoCD, source).SourceAtFault);
}
