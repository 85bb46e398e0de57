#include "engine/burn_failure_text.h"

#include <QRegularExpression>

#include "emberline/emberline.h"
#include "engine/page_checks.h"
#include "engine/source_check.h"

namespace ondrelle {

namespace {

bool IsSourceCall(const QString& call) {
  return call == QLatin1String("CdvdWriter_VideoCD") || call == QLatin1String("CdvdWriter_SuperVideoCD") ||
         call == QLatin1String("DVDVideo_Create");
}

QString ByCode(std::uint8_t code) {
  switch (code) {
    case EMBERLINE_E_NOT_READY:
      return QStringLiteral(
          "The writer is not ready or holds no disc: insert a blank disc, wait until the drive is "
          "ready, and start again.");
    case EMBERLINE_E_DEVICE_OPEN:
      return QStringLiteral(
          "The writer cannot be opened: check that no other program is using it and that you may "
          "use it, then start again.");
    case EMBERLINE_E_CHECK_CONDITION:
    case EMBERLINE_E_TRANSPORT:
      return QStringLiteral(
          "The writer reported an error: try again with a new blank disc or at a lower speed; "
          "the burning log has the details.");
    case EMBERLINE_E_FILE:
      return QStringLiteral(
          "A source could not be read: check that it is still there and readable, then start "
          "again.");
    case EMBERLINE_E_NOT_SUPPORTED:
      return QStringLiteral(
          "The writer or the disc cannot do what this burn needs: insert a blank disc of the "
          "kind the disc type asks for, or choose another burning mode.");
    case EMBERLINE_E_CANCELLED:
      return QStringLiteral("The burn was cancelled.");
    default:
      return QStringLiteral("The disc could not be burned: the burning log has the details.");
  }
}

}  // namespace

TsbPlainFailure PlainBurnFailure(const QString& failure, std::uint8_t kind, const QString& source) {
  static const QRegularExpression libraryLine(
      QStringLiteral(R"(^Emberline_(\w+)\(\) failed, exception (\d+), status (\d+), text "(.*)\"(?:\\n)?$)"),
      QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch line = libraryLine.match(failure.trimmed());
  TsbPlainFailure plain;
  if (!line.hasMatch()) {
    // The program's own texts are its plain words already.
    plain.Sentence = failure;
    plain.SourceAtFault = failure == CheckText(ctFileNotFound) || failure == CheckText(ctSourceTooBig) ||
                          failure == CheckText(ctNoSourcePath);
    return plain;
  }
  const QString call = line.captured(1);
  const auto code = static_cast<std::uint8_t>(line.captured(2).toUInt());
  const QString text = line.captured(4);

  static const QRegularExpression shortage(QStringLiteral(R"(needs (\d+) sectors but the disc has (\d+) free)"));
  const QRegularExpressionMatch sectors = shortage.match(text);
  if (IsSourceCall(call) && sectors.hasMatch()) {
    plain.Sentence = SectorShortageText(kind, sectors.captured(1).toULongLong(), sectors.captured(2).toULongLong());
    plain.SourceAtFault = true;
    return plain;
  }
  // The video calls check the stream or the folder before they write.
  if (IsSourceCall(call) && (code == EMBERLINE_E_INVALID_ARGUMENT || code == EMBERLINE_E_FILE)) {
    plain.Sentence = PlainSourceRefusal(kind, code, text, source);
    plain.SourceAtFault = true;
    return plain;
  }
  if (call == QLatin1String("CdvdWriter_Verify") || code == EMBERLINE_E_VERIFY_MISMATCH) {
    plain.Sentence = QStringLiteral(
        "The disc does not read back as it was written: do not trust it, and burn the "
        "video again on a new blank disc.");
    return plain;
  }
  plain.Sentence = ByCode(code);
  return plain;
}

}  // namespace ondrelle
