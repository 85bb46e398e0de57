// The pages of choices on their own: transport, source data, burning
// mode, burning options and the summary lines.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "engine/burner.h"
#include "engine/video_burn_options.h"
#include "pages/burn_mode_form.h"
#include "pages/burn_options_form.h"
#include "pages/options_summary_form.h"
#include "pages/select_transport_form.h"
#include "pages/source_data_form.h"
#include "pages/video_options_form.h"

using namespace ondrelle;

namespace {

QStringList Items(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

/// A speed list with fixed entries instead of a drive's answers.
class FixedSpeeds : public TsbDiscSpeedList {
 public:
  explicit FixedSpeeds(std::vector<int> points) : points_(std::move(points)) {}
  void Build(TsbWriterState&) override {
    Clear();
    for (int point : points_) {
      TsbDiscSpeedItem& item = Add();
      item.SpeedInPoint = point;
      item.SpeedInSize = point * 176;
      item.StrSpeed = QStringLiteral("%1.0x (%2 KB/sec)").arg(point).arg(point * 176);
    }
  }

 private:
  std::vector<int> points_;
};

void WriteFile(const QString& path, qint64 size) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  ASSERT_TRUE(file.resize(size));
}

}  // namespace

TEST(TransportPage, LinuxOffersBothWithNameBasedCheckedAndOtherFamiliesOnlyTheAddress) {
  TSelectTransportForm page;  // the system itself is asked
  EXPECT_EQ(page.GetPlatformKind(), 1);
  EXPECT_TRUE(page.rbSpti->isChecked());
  EXPECT_TRUE(page.rbSpti->isEnabled());
  EXPECT_TRUE(page.rbAspi->isEnabled());
  EXPECT_EQ(page.GetTransport(), TsbTransportType::ttSpti);
  page.rbAspi->setChecked(true);
  EXPECT_EQ(page.GetTransport(), TsbTransportType::ttAspi);

  for (int kind : {-1, 0}) {
    TSelectTransportForm other(nullptr, [kind] { return kind; });
    EXPECT_FALSE(other.rbSpti->isEnabled()) << kind;
    EXPECT_TRUE(other.rbAspi->isChecked()) << kind;
    EXPECT_EQ(other.GetTransport(), TsbTransportType::ttAspi) << kind;
  }
}

TEST(DiscTypePage, OffersTheThreeKindsAndDescribesTheChosenOneInItsOneAction) {
  TfrmVideoOptions page;
  EXPECT_EQ(Items(*page.cbVideoDiscType), (QStringList{"Video CD", "Super Video CD", "DVD Video"}));
  EXPECT_EQ(page.GetDiscKind(), vkVideoCD);
  for (int kind : {2, 1}) {
    page.cbVideoDiscType->setCurrentIndex(kind);
    page.VideoAction().Options.SourceFile = QStringLiteral("left over");
    TsbActionList* actions = page.GetActions();
    ASSERT_EQ(actions->Count(), 1);
    EXPECT_EQ(actions->Items(0).Action, &page.VideoAction());
    const TsbVideoBurnOptions& options = page.VideoAction().Options;
    EXPECT_EQ(options.IsDVD, kind == 2);
    EXPECT_EQ(options.VideoKind, kind);
    EXPECT_TRUE(options.SourceFile.isEmpty());
    EXPECT_EQ(options.VolumeLabel, QStringLiteral("Video"));
    EXPECT_EQ(options.PublisherName, QStringLiteral("Emberline"));
  }
  EXPECT_EQ(page.GetDiscKindText(), QStringLiteral("Super Video CD"));
}

TEST(SourcePage, TheKindSetsCaptionAndFilterAndAnotherKindClearsTheSource) {
  QTemporaryDir folder;
  const QString movie = folder.filePath(QStringLiteral("movie.mpg"));
  WriteFile(movie, 1572864);
  TfrmSourceData page;
  EXPECT_EQ(page.laSourceCaption->text(), QStringLiteral("&Source File:"));
  EXPECT_EQ(page.laFileSize->text(), QStringLiteral("Selected file(s) size: 0.00 MB"));
  EXPECT_EQ(page.laMaxFileSize->text(), QStringLiteral("Possible file(s) size: 0.00 MB"));

  QString offeredFilter;
  page.ChooseFile = [&](const QString& filter) {
    offeredFilter = filter;
    return movie;
  };
  page.btnBrowse->click();
  EXPECT_EQ(offeredFilter, QStringLiteral("Video CD files (*.mpeg;*.mpg;*.m1v)|*.mpeg;*.mpg;*.m1v||"));
  EXPECT_EQ(page.SourcePath(), movie);
  EXPECT_EQ(page.edSourceData->text(), movie);
  EXPECT_EQ(page.SelectedSize(), 1572864);
  EXPECT_EQ(page.laFileSize->text(), QStringLiteral("Selected file(s) size: 1.50 MB"));

  page.ChooseFile = [](const QString&) { return QString(); };  // cancelled
  page.btnBrowse->click();
  page.SetSourceKind(vkVideoCD);
  EXPECT_EQ(page.SourcePath(), movie);

  page.SetSourceKind(vkSuperVideoCD);
  EXPECT_TRUE(page.SourcePath().isEmpty());
  EXPECT_EQ(page.SelectedSize(), 0);
  EXPECT_TRUE(page.Filter().startsWith(QStringLiteral("Super Video CD files (")));

  page.SetSourceKind(vkDVDVideo);
  EXPECT_EQ(page.laSourceCaption->text(), QStringLiteral("&Source Direcotry:"));
  page.ChooseFolder = [&folder] { return folder.path(); };
  page.btnBrowse->click();
  EXPECT_EQ(page.SourcePath(), folder.path() + QLatin1Char('/'));
  EXPECT_EQ(page.SelectedSize(), 1572864);
  page.SetSourceKind(vkVideoCD);
  EXPECT_EQ(page.laFileSize->text(), QStringLiteral("Selected file(s) size: 0.00 MB"));

  page.SetPossibleSize(736966656);
  EXPECT_EQ(page.laMaxFileSize->text(), QStringLiteral("Possible file(s) size: 702.83 MB"));
}

TEST(BurnModePage, ListsWhatTheDriveTakesInItsOrderAndKeepsTheStoredChoice) {
  TsbBurner session;
  session.DiscType = DISC_TYPE_CDR;
  TfrmBurnMode page;
  page.FromFile = true;
  page.AllowDAOPQ = false;
  page.AllowDAORaw = false;
  page.SetBurner(&session);
  EXPECT_EQ(Items(*page.cmbModes), (QStringList{"Session-At-Once", "Track-At-Once"}));
  EXPECT_EQ(page.GetBurnModeText(), QStringLiteral("Track-At-Once"));  // stored code 0
  EXPECT_EQ(page.GetBurnMode().Mode, bmTAOFromFile);
  page.cmbModes->setCurrentIndex(0);
  session.BurnMode = page.GetBurnMode().Mode;
  EXPECT_EQ(session.BurnMode, bmSAOFromFile);
  page.SetBurner(&session);
  EXPECT_EQ(page.GetBurnModeText(), QStringLiteral("Session-At-Once"));

  // A DVD, or DVD Video chosen: only Track-At-Once.
  session.DiscType = DISC_TYPE_DVDPLUSR;
  page.SetBurner(&session);
  EXPECT_EQ(Items(*page.cmbModes), (QStringList{"Track-At-Once"}));
  EXPECT_EQ(page.GetBurnMode().Mode, bmTAOFromFile);

  // Test mode follows the drive's ability and the stored choice.
  session.DiscType = DISC_TYPE_CDR;
  session.WriteModes.TrackAtOnce = false;
  session.WriteModes.TestWrite = false;
  session.TestMode = true;
  page.SetBurner(&session);
  EXPECT_EQ(Items(*page.cmbModes), (QStringList{"Session-At-Once"}));
  EXPECT_EQ(page.GetBurnMode().Mode, bmSAOFromFile);
  EXPECT_FALSE(page.chbTestMode->isEnabled());
  EXPECT_TRUE(page.GetBurnMode().Test);
  EXPECT_FALSE(page.laCDTEXTNote->isVisibleTo(&page));
}

TEST(BurnOptionsPage, SpeedOPCAndMultisessionFollowTheStoredChoices) {
  TsbBurner session;
  TfrmBurnOptions page(nullptr, std::make_unique<FixedSpeeds>(std::vector<int>{4, 8, 16}));
  page.SetBurner(&session);
  EXPECT_EQ(page.cmbSpeed->count(), 3);
  EXPECT_EQ(page.GetSelectedSpeed().SpeedInPoint, 16);  // nothing stored: the last
  EXPECT_FALSE(page.GetSendOPC());
  EXPECT_TRUE(page.GetMultiSession());
  EXPECT_FALSE(page.chbMultiSession->isVisibleTo(&page));

  session.SpeedInPoint = 8;
  session.SendOPC = true;
  session.BurnMode = bmDAORawFromFile;
  page.SetBurner(&session);
  EXPECT_EQ(page.GetSelectedSpeed().SpeedInPoint, 8);
  EXPECT_EQ(page.GetSelectedSpeed().SpeedInSize, 8 * 176);
  EXPECT_TRUE(page.GetSendOPC());
  EXPECT_FALSE(page.GetMultiSession());

  session.TestMode = true;  // no calibration for a test burn
  session.SpeedInPoint = 12;
  page.SetBurner(&session);
  EXPECT_FALSE(page.chbSOPC->isEnabled());
  EXPECT_FALSE(page.GetSendOPC());
  EXPECT_EQ(page.GetSelectedSpeed().SpeedInPoint, 16);
}

TEST(BurnOptionsPage, ADriveThatNamesNoSpeedIsOfferedItsFastest) {
  TsbBurner session;
  TfrmBurnOptions page(nullptr, std::make_unique<FixedSpeeds>(std::vector<int>{}));
  page.SetBurner(&session);
  ASSERT_EQ(page.cmbSpeed->count(), 1);
  EXPECT_EQ(page.cmbSpeed->currentIndex(), 0);
  EXPECT_EQ(page.cmbSpeed->currentText(), QStringLiteral("Fastest"));
  const TsbDiscSpeedItem speed = page.GetSelectedSpeed();
  EXPECT_EQ(speed.SpeedInPoint, 0);
  EXPECT_EQ(speed.SpeedInSize, 0xFFFF);  // the library's "as fast as the drive goes"
}

TEST(SummaryPage, TenLinesInTheirOrderForEachKind) {
  TsbSummaryValues v;
  v.Device.Product = QStringLiteral(" Virtual CD-R  ");
  v.Device.ProductRevisionLevel = QStringLiteral("1.0 ");
  v.DevicePath = QStringLiteral("\\\\.\\E:");
  v.Transport = TsbTransportType::ttSpti;
  v.DiscType = DISC_TYPE_CDR;
  v.Speed = QStringLiteral("16.0x (2816 KB/sec)");
  v.SendOPC = true;
  v.BurnMode = QStringLiteral("Track-At-Once");
  v.VideoFormat = QStringLiteral("Video CD");
  v.SourcePath = QStringLiteral("/home/user/50% off.mpg");
  EXPECT_EQ(SummaryLines(v), (QStringList{"Drive: Virtual CD-R 1.0 (E:)", "Transport: SPTI", "Disc Type: CD-R",
                                          "Burning Speed: 16.0x (2816 KB/sec)", "Send OPC: Yes",
                                          "Burning Mode: Track-At-Once", "Test Write: No", "Video Format: Video CD",
                                          "Source Data: '/home/user/50% off.mpg'", "Verify After Burning: No"}));

  v.DevicePath = QStringLiteral("CdRom16");
  v.Transport = TsbTransportType::ttAspi;
  v.VideoFormat = QStringLiteral("Super Video CD");
  v.TestMode = true;
  v.SendOPC = false;
  QStringList lines = SummaryLines(v);
  EXPECT_EQ(lines.at(0), QStringLiteral("Drive: Virtual CD-R 1.0 (CdRom16)"));
  EXPECT_EQ(lines.at(1), QStringLiteral("Transport: ASPI"));
  EXPECT_EQ(lines.at(4), QStringLiteral("Send OPC: No"));
  EXPECT_EQ(lines.at(6), QStringLiteral("Test Write: Yes"));
  EXPECT_EQ(lines.at(7), QStringLiteral("Video Format: Super Video CD"));

  v.DiscType = DISC_TYPE_DVDPLUSR;
  v.VideoFormat = QStringLiteral("DVD Video");
  v.SourcePath = QStringLiteral("/media/movie/VIDEO_TS/");
  v.DiscType = DISC_TYPE_BDR;  // a type without a name: nothing after the colon
  lines = SummaryLines(v);
  v.Verify = true;
  lines = SummaryLines(v);
  EXPECT_EQ(lines.size(), 10);
  EXPECT_EQ(lines.at(9), QStringLiteral("Verify After Burning: Yes"));
  EXPECT_EQ(lines.at(2), QStringLiteral("Disc Type: "));
  EXPECT_EQ(lines.at(7), QStringLiteral("Video Format: DVD Video"));
  EXPECT_EQ(lines.at(8), QStringLiteral("Source Data: '/media/movie/VIDEO_TS/'"));

  TfrmOptionsSummary page;
  page.Fill(v);
  EXPECT_EQ(page.edtSummary->toPlainText().split(QLatin1Char('\n')), lines);
  EXPECT_TRUE(page.edtSummary->isReadOnly());
}
