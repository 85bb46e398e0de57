#include "engine/writer_readiness.h"

#include <array>

#include "devices/disc_type_text.h"
#include "devices/library_result.h"
#include "devices/readiness_text.h"
#include "emberline/cdvd_writer.h"
#include "engine/burner.h"
#include "engine/run_cancelled.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {

constexpr std::size_t kTestWriteFormat = 5;
constexpr std::uint8_t kDiscStatusComplete = 2;

/// Media written once, front to back: a closed one takes nothing more.
/// (Overwritable media report their formatted state as complete too.)
bool IsSequentialDiscType(DISC_TYPE type) {
  switch (type) {
    case DISC_TYPE_CDR:
    case DISC_TYPE_CDRW:
    case DISC_TYPE_DDCDR:
    case DISC_TYPE_DDCDRW:
    case DISC_TYPE_DVDR:
    case DISC_TYPE_DVDRWSR:
    case DISC_TYPE_DVDPLUSR:
    case DISC_TYPE_DVDPLUSR_DL:
    case DISC_TYPE_DVDR_DL:
    case DISC_TYPE_BDR:
    case DISC_TYPE_HDDVDR:
      return true;
    default:
      return false;
  }
}

bool IsPlusDiscType(DISC_TYPE type) {
  return type == DISC_TYPE_DVDPLUSR || type == DISC_TYPE_DVDPLUSRW || type == DISC_TYPE_DVDPLUSR_DL;
}

[[noreturn]] void Refuse(TsbBurner& burner, const QString& message) {
  burner.LastMessage = message;
  Logger().WriteLog(message);
  throw TsbError(message);
}

/// A failed call of the preparation: the cancel that cut it short, the
/// cause in words when there is one, else the library's own line.
[[noreturn]] void RefuseFailedCall(TsbBurner& b, const char* function) {
  ThrowIfCancelled(b);
  const QString line = EmberlineFailureText(function, b.ExceptionCode, b.SystemStatus, b.ExceptionText.data());
  const QString words = NotReadyText(b);
  if (words.isEmpty()) Refuse(b, line);
  Logger().WriteLog(line);
  Refuse(b, words);
}

void CheckTestWrite(TsbBurner& b) {
  if (!b.TestMode) return;
  std::array<std::uint8_t, 10> formats{};
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetSupportedMediaFormats"));
  const bool answered = Emberline_CdvdWriter_GetSupportedMediaFormats(
                            b.Writer, &formats[0], &formats[1], &formats[2], &formats[3], &formats[4], &formats[5],
                            &formats[6], &formats[7], &formats[8], &formats[9]) == 0;
  ThrowIfCancelled(b);
  if (answered && formats[kTestWriteFormat] == 0)
    Refuse(b, QStringLiteral("This drive cannot simulate a burn, so a test burn is not possible"));
  // DVD+R and DVD+RW media have no simulated write at all.
  if (IsPlusDiscType(b.DiscType))
    Refuse(b, QStringLiteral("A %1 cannot be written in test mode (simulation); burn it for real or use another disc")
                  .arg(DiscTypeToStr(b.DiscType)));
}

}  // namespace

QString NotReadyText(const TsbBurner& b) {
  return NotReadyCause(b.ExceptionCode, b.SystemStatus);
}

bool IsClosedDisc(DISC_TYPE type, std::uint8_t discStatus) {
  return discStatus == kDiscStatusComplete && IsSequentialDiscType(type);
}

QString ClosedDiscText() {
  return QStringLiteral("The disc in the drive is closed (finalized): nothing more can be written on it");
}

void CheckWriterCanBurn(TsbBurner& b) {
  ThrowIfCancelled(b);
  Logger().WriteLog(QStringLiteral("CdvdWriter_TestUnitReady"));
  b.ExceptionCode = Emberline_CdvdWriter_TestUnitReady(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                       &b.SystemStatus, &b.FailureInfo);
  if (b.ExceptionCode != 0) RefuseFailedCall(b, "CdvdWriter_TestUnitReady");
  ThrowIfCancelled(b);

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetInsertedDiscType"));
  b.DiscType = Emberline_CdvdWriter_GetInsertedDiscType(b.Writer);
  ThrowIfCancelled(b);
  if (b.DiscType == DISC_TYPE_NO_MEDIA) Refuse(b, QStringLiteral("There is no disc in the drive"));

  std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> disc{};
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscInformation"));
  b.ExceptionCode = Emberline_CdvdWriter_GetDiscInformation(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                            &b.SystemStatus, &b.FailureInfo, disc.data());
  ThrowIfCancelled(b);
  if (b.ExceptionCode != 0) {
    // Other failures are left to the checks that follow, as before.
    if (!NotReadyText(b).isEmpty()) RefuseFailedCall(b, "CdvdWriter_GetDiscInformation");
  } else if (IsClosedDisc(b.DiscType, disc[1])) {
    Refuse(b, ClosedDiscText());
  }

  CheckTestWrite(b);
}

}  // namespace ondrelle
