// The speed list measured on virtual writers with known speed tables.

#include "devices/disc_speed_list.h"

#include <gtest/gtest.h>

#include "engine/burner.h"
#include "engine/tsb_error.h"
#include "support/virtual_writers.h"

using namespace ondrelle;

namespace {

std::vector<QString> Texts(const char* writers, DISC_TYPE discType) {
  VirtualWriters virtualWriters(writers);
  TsbBurner burner;
  burner.TransportType = TsbTransportType::ttSpti;
  burner.DeviceName = QStringLiteral("CdRom16");
  burner.OpenDevice();
  burner.DiscType = discType;
  TsbDiscSpeedList list;
  list.Build(burner);
  std::vector<QString> texts;
  for (int i = 0; i < list.Count(); ++i) texts.push_back(list.Items(i).StrSpeed);
  EXPECT_GT(list.MaxWriteSpeed, 0);
  return texts;
}

}  // namespace

TEST(DiscSpeedList, KeysAreTruncatedMultiplesInAscendingOrder) {
  EXPECT_EQ(Texts("cd-r,speeds=176/353/706/1400", DISC_TYPE_CDR),
            (std::vector<QString>{QStringLiteral("1.0x (176 KB/sec)"), QStringLiteral("2.0x (353 KB/sec)"),
                                  QStringLiteral("4.0x (706 KB/sec)"), QStringLiteral("7.0x (1400 KB/sec)")}));
}

TEST(DiscSpeedList, SpeedsWithTheSameKeyFoldIntoTheFirst) {
  // 387 KB/s is 2 × 176 truncated: it folds into the 2x entry of 353 KB/s.
  EXPECT_EQ(Texts("cd-r,speeds=176/353/387", DISC_TYPE_CDR),
            (std::vector<QString>{QStringLiteral("1.0x (176 KB/sec)"), QStringLiteral("2.0x (353 KB/sec)")}));
}

TEST(DiscSpeedList, ADeviceThatIgnoresRequestsGivesOneEntry) {
  EXPECT_EQ(Texts("cd-r,fixed-speed=1400", DISC_TYPE_CDR), std::vector<QString>{QStringLiteral("7.0x (1400 KB/sec)")});
}

TEST(DiscSpeedList, DvdTypesUseTheDvdTableButDualLayerDashRUsesTheCdOne) {
  EXPECT_EQ(Texts("dvd+r,speeds=1385/2770/3324/5540", DISC_TYPE_DVDPLUSR),
            (std::vector<QString>{QStringLiteral("1.0x (1385 KB/sec)"), QStringLiteral("2.0x (2770 KB/sec)"),
                                  QStringLiteral("4.0x (5540 KB/sec)")}));
  EXPECT_EQ(Texts("dvd+r,speeds=1385/2770/5540", DISC_TYPE_DVDR_DL),
            (std::vector<QString>{QStringLiteral("7.0x (1385 KB/sec)"), QStringLiteral("15.0x (2770 KB/sec)"),
                                  QStringLiteral("31.0x (5540 KB/sec)")}));
}

TEST(DiscSpeedList, AFailingFirstSpeedSettingRaisesTheTextAndLeavesTheListEmpty) {
  VirtualWriters writers(nullptr);
  TsbBurner burner;  // no device object: every call fails
  TsbDiscSpeedList list;
  list.Add();
  try {
    list.Build(burner);
    FAIL() << "no error";
  } catch (const TsbError& error) {
    EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Emberline_CdvdWriter_SetSpeeds() failed, exception ")))
        << error.Message().toStdString();
    EXPECT_EQ(burner.LastMessage, error.Message());
  }
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FindBySpeedInPoint(1), nullptr);
}

TEST(DiscSpeedList, AWriteSpeedOfZeroIsNoEntry) {
  // A reading drive answers every request with 0 KB/s for writing: no "0.0x" entry.
  VirtualWriters writers("cd-r,fixed-speed=0");
  TsbBurner burner;
  burner.TransportType = TsbTransportType::ttSpti;
  burner.DeviceName = QStringLiteral("CdRom16");
  burner.OpenDevice();
  burner.DiscType = DISC_TYPE_CDR;
  TsbDiscSpeedList list;
  list.Build(burner);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(NoWriteSpeedsText().isEmpty());
}
