#include "devices/disc_type_text.h"

#include <gtest/gtest.h>

using namespace ondrelle;

TEST(DiscTypeText, NamesTheFifteenKnownTypes) {
  const char* expected[] = {"Unknown",
                            "CD-ROM",
                            "CD-R",
                            "CD-RW",
                            "DVD-ROM",
                            "DVD-R",
                            "DVD-RAM",
                            "DVD-RW RO (Restricted Overwrite)",
                            "DVD-RW SR (Sequential Recording)",
                            "DVD+RW",
                            "DD (Double Density) CD-ROM",
                            "DD (Double Density) CD-R",
                            "DD (Double Density) CD-RW",
                            "DVD+R",
                            "Empty"};
  for (int t = 0; t <= 14; ++t) EXPECT_EQ(DiscTypeToStr(static_cast<DISC_TYPE>(t)), QLatin1String(expected[t])) << t;
}

TEST(DiscTypeText, LaterTypesHaveNoNameThoughDualLayerPlusRIsDvd) {
  for (int t = 15; t <= 21; ++t) EXPECT_TRUE(DiscTypeToStr(static_cast<DISC_TYPE>(t)).isEmpty()) << t;
  EXPECT_TRUE(DiscTypeToStr(static_cast<DISC_TYPE>(200)).isEmpty());
  EXPECT_TRUE(IsDVDDiscType(DISC_TYPE_DVDPLUSR_DL));
}

TEST(DiscTypeText, OnlyPressedDiscsAreReadOnly) {
  for (int t = 0; t <= 21; ++t) {
    const bool readOnly = t == DISC_TYPE_CDROM || t == DISC_TYPE_DVDROM || t == DISC_TYPE_DDCDROM;
    EXPECT_EQ(IsWritableDiscType(static_cast<DISC_TYPE>(t)), !readOnly) << t;
  }
}

TEST(DiscTypeText, DvdTableExcludesDualLayerDashRAndLaterFormats) {
  const int dvd[] = {4, 5, 6, 7, 8, 9, 13, 15};
  for (int t = 0; t <= 21; ++t) {
    const bool isDvd = std::find(std::begin(dvd), std::end(dvd), t) != std::end(dvd);
    EXPECT_EQ(IsDVDDiscType(static_cast<DISC_TYPE>(t)), isDvd) << t;
  }
  EXPECT_FALSE(IsDVDDiscType(DISC_TYPE_DVDR_DL));
}
