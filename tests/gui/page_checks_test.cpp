// The checks made as the wizard's pages are left: their texts are the
// string table's, each refuses exactly what it should, and sizes beyond
// 2 GiB are measured and compared whole.

#include "engine/page_checks.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "engine/source_size.h"
#include "engine/video_burn_options.h"
#include "strings/string_table.h"

using namespace ondrelle;

namespace {

/// The number of the text a call refuses with, or 0 when it passes.
template <typename Call>
int RefusalOf(Call call) {
  try {
    call();
  } catch (const TsbCheckError& error) {
    EXPECT_EQ(error.Message(), CheckText(error.Text(), error.Argument()));
    return error.Text();
  }
  return 0;
}

bool MakeSparseFile(const QString& path, qint64 size) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.resize(size);
}

}  // namespace

TEST(PageChecks, EveryRefusalSaysWhatTheStringTableSays) {
  for (TsbCheckText id : {ctNoDevice, ctNoWritableDisc, ctDiscNotBlank, ctTemplateMissing, ctFileNotFound, ctNeedDVD,
                          ctNeedCD, ctNoSourcePath, ctSourceTooBig})
    EXPECT_EQ(CheckText(id, QStringLiteral("%s")), LoadStr(id)) << id;
  // A path is put in as it is, even with a '%' of its own.
  EXPECT_EQ(CheckText(ctTemplateMissing, QStringLiteral("/opt/100%/Emberline_VideoCD.iso")),
            QStringLiteral("Can't find video template /opt/100%/Emberline_VideoCD.iso"));
}

TEST(PageChecks, TheDeviceStepRefusesNoSelectionNoDiscAReadOnlyDiscAndAWrittenOne) {
  EXPECT_EQ(RefusalOf([] { CheckDeviceSelected(false); }), ctNoDevice);
  EXPECT_EQ(RefusalOf([] { CheckDeviceSelected(true); }), 0);
  EXPECT_EQ(RefusalOf([] { CheckDiscWritable(0, DISC_TYPE_CDR); }), ctNoWritableDisc);
  for (DISC_TYPE readOnly : {DISC_TYPE_CDROM, DISC_TYPE_DVDROM, DISC_TYPE_DDCDROM})
    EXPECT_EQ(RefusalOf([readOnly] { CheckDiscWritable(0x20, readOnly); }), ctNoWritableDisc) << readOnly;
  EXPECT_EQ(RefusalOf([] { CheckDiscWritable(0x20, DISC_TYPE_CDRW); }), 0);

  TsbDiscSpace blank;
  blank.FreeSize = blank.TotalSize = 736966656;
  EXPECT_EQ(RefusalOf([&blank] { CheckDiscBlank(blank); }), 0);
  TsbDiscSpace written = blank;
  written.FreeSize -= 2048;
  EXPECT_EQ(RefusalOf([&written] { CheckDiscBlank(written); }), ctDiscNotBlank);
}

TEST(PageChecks, TheDiscMustSuitTheKindBothWays) {
  for (DISC_TYPE cd : {DISC_TYPE_CDR, DISC_TYPE_CDRW, DISC_TYPE_DDCDR, DISC_TYPE_DDCDRW}) {
    EXPECT_EQ(RefusalOf([cd] { CheckDiscSuitsKind(vkVideoCD, cd); }), 0) << cd;
    EXPECT_EQ(RefusalOf([cd] { CheckDiscSuitsKind(vkSuperVideoCD, cd); }), 0) << cd;
    EXPECT_EQ(RefusalOf([cd] { CheckDiscSuitsKind(vkDVDVideo, cd); }), ctNeedDVD) << cd;
  }
  for (DISC_TYPE dvd : {DISC_TYPE_DVDR, DISC_TYPE_DVDRWRO, DISC_TYPE_DVDRWSR, DISC_TYPE_DVDPLUSRW, DISC_TYPE_DVDPLUSR,
                        DISC_TYPE_DVDPLUSR_DL}) {
    EXPECT_EQ(RefusalOf([dvd] { CheckDiscSuitsKind(vkDVDVideo, dvd); }), 0) << dvd;
    EXPECT_EQ(RefusalOf([dvd] { CheckDiscSuitsKind(vkVideoCD, dvd); }), ctNeedCD) << dvd;
  }
  // DVD-RAM takes no video disc of either family.
  EXPECT_EQ(RefusalOf([] { CheckDiscSuitsKind(vkDVDVideo, DISC_TYPE_DVDRAM); }), ctNeedDVD);
}

TEST(PageChecks, ASourceAsLargeAsTheFreeSpaceFitsAndOneByteMoreDoesNot) {
  EXPECT_EQ(RefusalOf([] { CheckSourceFits(736966656, 736966656); }), 0);
  EXPECT_EQ(RefusalOf([] { CheckSourceFits(736966656, 736966657); }), ctSourceTooBig);
  // Beyond 32 bits on both sides: a 4.7 GB disc and a 4.3 GiB source.
  EXPECT_EQ(RefusalOf([] { CheckSourceFits(4700372992LL, 4617089843LL); }), 0);
  EXPECT_EQ(RefusalOf([] { CheckSourceFits(4617089842LL, 4617089843LL); }), ctSourceTooBig);
  EXPECT_EQ(RefusalOf([] { CheckSourceGiven(QString()); }), ctNoSourcePath);
}

TEST(PageChecks, TheCDKindsNeedTheFileAndTheTemplateAndDVDNeedsNeither) {
  QTemporaryDir folder;
  const QString movie = folder.filePath(QStringLiteral("movie.mpg"));
  const QString missing = folder.filePath(QStringLiteral("gone.mpg"));
  ASSERT_TRUE(MakeSparseFile(movie, 4096));
  EXPECT_EQ(RefusalOf([&] { CheckSourceFileExists(vkVideoCD, movie); }), 0);
  EXPECT_EQ(RefusalOf([&] { CheckSourceFileExists(vkVideoCD, missing); }), ctFileNotFound);
  EXPECT_EQ(RefusalOf([&] { CheckSourceFileExists(vkSuperVideoCD, folder.path()); }), ctFileNotFound);
  EXPECT_EQ(RefusalOf([&] { CheckSourceFileExists(vkDVDVideo, missing); }), 0);

  EXPECT_EQ(VideoTemplateName(vkVideoCD), QStringLiteral("Emberline_VideoCD.iso"));
  EXPECT_EQ(VideoTemplateName(vkSuperVideoCD), QStringLiteral("Emberline_SuperVideoCD.iso"));
  EXPECT_TRUE(VideoTemplateName(vkDVDVideo).isEmpty());
  const QString templatePath = folder.filePath(QStringLiteral("Emberline_VideoCD.iso"));
  try {
    CheckTemplatePresent(templatePath);
    FAIL() << "a missing template must be refused";
  } catch (const TsbCheckError& error) {
    EXPECT_EQ(error.Message(), QStringLiteral("Can't find video template ") + templatePath);
  }
  ASSERT_TRUE(MakeSparseFile(templatePath, 2048));
  EXPECT_EQ(RefusalOf([&] { CheckTemplatePresent(templatePath); }), 0);
  EXPECT_EQ(RefusalOf([] { CheckTemplatePresent(QString()); }), 0);
}

TEST(SourceSize, FilesOf2GiBAndMoreAndNestedFoldersAreSizedWhole) {
  QTemporaryDir folder;
  const QString big = folder.filePath(QStringLiteral("VIDEO_TS/VTS_01_1.VOB"));
  ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("VIDEO_TS/deeper")));
  const qint64 overTwoGiB = (qint64{1} << 31) + 12345;  // sparse: takes no room
  ASSERT_TRUE(MakeSparseFile(big, overTwoGiB));
  ASSERT_TRUE(MakeSparseFile(folder.filePath(QStringLiteral("VIDEO_TS/deeper/VTS_01_0.IFO")), 2048));
  ASSERT_TRUE(MakeSparseFile(folder.filePath(QStringLiteral("VIDEO_TS/.hidden")), 10));

  EXPECT_EQ(GetFileSize(big), overTwoGiB);
  EXPECT_EQ(GetFileSize(folder.filePath(QStringLiteral("nothing.mpg"))), 0);
  EXPECT_EQ(GetFileSize(folder.path()), 0);  // a folder is no file
  EXPECT_EQ(GetFolderSize(folder.filePath(QStringLiteral("VIDEO_TS"))), overTwoGiB + 2048 + 10);
  EXPECT_EQ(GetFolderSize(folder.filePath(QStringLiteral("missing"))), 0);
  // Measured sizes are compared whole: 2 GiB and more does not wrap to a small number.
  EXPECT_EQ(RefusalOf([&] { CheckSourceFits(736966656, GetFileSize(big)); }), ctSourceTooBig);
}

TEST(SourceSize, AFolderGetsOneTrailingSeparator) {
  EXPECT_EQ(AddTrailingDelimiter(QString()), QString());
  EXPECT_EQ(AddTrailingDelimiter(QStringLiteral("/")), QStringLiteral("/"));
  EXPECT_EQ(AddTrailingDelimiter(QStringLiteral("/media/movie/VIDEO_TS")), QStringLiteral("/media/movie/VIDEO_TS/"));
  EXPECT_EQ(AddTrailingDelimiter(QStringLiteral("/media/movie/VIDEO_TS/")), QStringLiteral("/media/movie/VIDEO_TS/"));
}
