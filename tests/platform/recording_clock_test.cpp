// The moment discs and images are dated with, and SOURCE_DATE_EPOCH fixing it.

#include "platform/recording_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

using ondrelle::platform::RecordingMoment;

TEST(RecordingClock, SourceDateEpochFixesTheMomentAndAnythingButWholeSecondsIsIgnored) {
  ::setenv("SOURCE_DATE_EPOCH", "1700000000", 1);
  EXPECT_EQ(RecordingMoment().toSecsSinceEpoch(), 1700000000);
  EXPECT_EQ(RecordingMoment().timeSpec(), Qt::LocalTime) << "the library takes a local date and time";
  for (const char* junk : {"", "17e8", "-5", "soon"}) {
    ::setenv("SOURCE_DATE_EPOCH", junk, 1);
    EXPECT_LE(std::llabs(RecordingMoment().secsTo(QDateTime::currentDateTime())), 5) << junk;
  }
  ::unsetenv("SOURCE_DATE_EPOCH");
  EXPECT_LE(std::llabs(RecordingMoment().secsTo(QDateTime::currentDateTime())), 5);
}
