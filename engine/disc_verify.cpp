#include "engine/disc_verify.h"

#include "emberline/writing.h"
#include "engine/burner.h"
#include "engine/library_call_failure.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

bool VerifyBurnedDisc(TsbBurner& b, const std::function<void(const QString&, TsbLogItemType)>& message) {
  if (!b.VerifyAfterBurn || b.Cancelled) return true;
  if (b.TestMode) {
    message(QStringLiteral("Test burn: nothing was written to the disc, so there is nothing to verify"),
            TsbLogItemType::litInfo);
    return true;
  }
  message(QStringLiteral("Verifying disc"), TsbLogItemType::litInfo);
  // The read-back reports its own progress from nought.
  b.Progress.LastProgress = 0;
  CallBackEventer().DoProgress(0);
  std::uint64_t compared = 0;
  Logger().WriteLog(QStringLiteral("CdvdWriter_Verify"));
  b.ExceptionCode = Emberline_CdvdWriter_Verify(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                                &b.FailureInfo, &compared);
  if (b.ExceptionCode == 0) {
    CallBackEventer().DoProgress(100);
    message(QStringLiteral("Disc verified: %1 sectors compared, all equal").arg(compared), TsbLogItemType::litInfo);
    return true;
  }
  b.BurnSucceeded = false;
  if (b.Cancelled) {
    // Cut short, it found nothing wrong: the disc is closed as a cancelled burn is.
    b.LastMessage.clear();
    message(QStringLiteral("Verify cancelled: the disc was written but not read back"), TsbLogItemType::litInfo);
    return false;
  }
  RecordLibraryFailure(b, "CdvdWriter_Verify");
  b.VerifyFailed = true;
  return false;
}

QString VerifyFailedText() {
  return QStringLiteral("The disc does not read back as it was meant to be written: do not trust it.");
}

}  // namespace ondrelle
