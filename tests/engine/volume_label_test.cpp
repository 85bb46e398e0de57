#include "engine/volume_label.h"

#include <gtest/gtest.h>

using namespace ondrelle;

TEST(VolumeLabel, EachNameSpaceKeepsOnlyWhatItAllowsAndSaysSo) {
  EXPECT_TRUE(VolumeLabelWarnings(QStringLiteral("Holiday_2026")).isEmpty()) << "upper case alone is no change";
  const QString messy = QStringLiteral("My:Disc*\t2026?");
  EXPECT_EQ(IsoVolumeLabel(messy), QStringLiteral("MY_DISC__2026_"));
  EXPECT_EQ(JolietVolumeLabel(messy), QStringLiteral("My_Disc__2026_"));
  const QStringList warnings = VolumeLabelWarnings(messy);
  ASSERT_EQ(warnings.size(), 2);
  EXPECT_TRUE(warnings[0].contains(QStringLiteral("\"MY_DISC__2026_\" in the ISO 9660 names")));
  EXPECT_TRUE(warnings[1].contains(QStringLiteral("\"My_Disc__2026_\" in the Joliet names")));
  // Joliet keeps 16 characters, spaces and accents; ISO 9660 keeps 32 of its own.
  const QString wedding = QStringLiteral("Hochzeit Müller und Schmidt");
  EXPECT_EQ(JolietVolumeLabel(wedding), QStringLiteral("Hochzeit Müller "));
  EXPECT_EQ(IsoVolumeLabel(wedding), QStringLiteral("HOCHZEIT_M_LLER_UND_SCHMIDT"));
  EXPECT_EQ(VolumeLabelWarnings(wedding).size(), 2);
}
