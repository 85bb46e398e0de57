// A failed library call's line, kept, logged and raised the same way by
// every engine step.

#include "engine/library_call_failure.h"

#include <gtest/gtest.h>

#include <cstring>

#include "engine/burner.h"
#include "engine/tsb_error.h"

using namespace ondrelle;

namespace {

void Fail(TsbBurner& burner, std::uint8_t code, std::uint32_t status, const char* text) {
  burner.ExceptionCode = code;
  burner.SystemStatus = status;
  std::strcpy(burner.ExceptionText.data(), text);
}

}  // namespace

TEST(LibraryCallFailure, TheLineIsFilledFromTheSessionKeptAndRaisedAsIs) {
  TsbBurner burner;
  Fail(burner, 5, 0x023A00, "medium not present");
  const QString expected = QStringLiteral(
      "Emberline_CdvdWriter_TestUnitReady() failed, exception 5, status 145920, text \"medium not present\"");
  try {
    RaiseLibraryFailure(burner, "CdvdWriter_TestUnitReady");
    ADD_FAILURE() << "nothing raised";
  } catch (const TsbError& error) {
    EXPECT_EQ(error.Message(), expected);
  }
  EXPECT_EQ(burner.LastMessage, expected);
}

TEST(LibraryCallFailure, TheBackslashNEndingIsTwoLiteralCharactersAndRecordingRaisesNothing) {
  TsbBurner burner;
  Fail(burner, 2, 0xFFFFFFFFu, "");
  QString returned;
  EXPECT_NO_THROW(returned = RecordLibraryFailure(burner, "CdvdWriter_CloseSession", TsbFailureEnding::BackslashN));
  EXPECT_EQ(returned,
            QStringLiteral("Emberline_CdvdWriter_CloseSession() failed, exception 2, status -1, text \"\"\\n"));
  EXPECT_EQ(burner.LastMessage, returned);
  EXPECT_FALSE(burner.LastMessage.contains(QLatin1Char('\n')));
}
