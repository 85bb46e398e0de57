#include "devices/library_result.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "devices/library_lifetime.h"
#include "emberline/emberline.h"

using namespace ondrelle;

TEST(LibraryFailureText, FillsCodeStatusAndText) {
  EXPECT_EQ(EmberlineFailureText("CdvdWriter_TestUnitReady", 5, 0x023A00, "medium not present"),
            QStringLiteral("Emberline_CdvdWriter_TestUnitReady() failed, exception 5, status 145920, text "
                           "\"medium not present\""));
}

TEST(LibraryFailureText, StatusPrintsSignedAndATextWithoutNulStopsAtTheBuffer) {
  std::vector<char> text(EMBERLINE_TEXT_SIZE + 16, 'x');  // no NUL inside the library's 1024
  const QString message = EmberlineFailureText("CdvdWriter_Create", 2, 0xFFFFFFFFu, text.data());
  EXPECT_TRUE(
      message.startsWith(QStringLiteral("Emberline_CdvdWriter_Create() failed, exception 2, status -1, text \"")));
  EXPECT_TRUE(message.endsWith(QString(EMBERLINE_TEXT_SIZE, QLatin1Char('x')) + QLatin1Char('"')));
  EXPECT_EQ(message.size(),
            QStringLiteral("Emberline_CdvdWriter_Create() failed, exception 2, status -1, text \"\"").size() +
                EMBERLINE_TEXT_SIZE);
  EXPECT_EQ(EmberlineFailureText("Eject", 1, 0, nullptr),
            QStringLiteral("Emberline_Eject() failed, exception 1, status 0, text \"\""));
}

TEST(LibraryVersion, MatchingAndMismatchingVersionsAreReportedAsTheyStand) {
  const LibraryVersionCheck ok = CheckLibraryVersion(0x20080820u);
  EXPECT_TRUE(ok.Matches);
  EXPECT_EQ(ok.Message, QStringLiteral("Emberline : libemberline version : 0x20080820"));

  const LibraryVersionCheck bad = CheckLibraryVersion(0x1abcu);
  EXPECT_FALSE(bad.Matches);
  EXPECT_EQ(bad.Message,
            QStringLiteral("Emberline : Invalid libemberline version : 0x00001ABC. Expected : 0x20080820"));
}

TEST(LibraryVersion, TheBuiltLibraryIsTheExpectedOneAndStartsAndStops) {
  EXPECT_TRUE(CheckLoadedLibraryVersion().Matches);
  EXPECT_NO_THROW(StartLibrary());
  ShutDownLibrary();
}
