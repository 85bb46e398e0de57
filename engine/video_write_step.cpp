#include "engine/video_write_step.h"

#include "devices/library_result.h"
#include "emberline/writing.h"
#include "engine/burner.h"
#include "engine/dvd_video_structure.h"
#include "engine/library_call_failure.h"
#include "engine/tsb_error.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

constexpr std::uint32_t kReadyMinutes = 5;
constexpr char kAlbumId[] = "Album VideoCD";

bool Failed(TsbBurner& b, const char* function) {
  RecordLibraryFailure(b, function);
  b.BurnSucceeded = false;
  return false;
}

bool BurnVideoCD(TsbBurner& b, const TsbVideoBurnOptions& options, bool super) {
  const char* function = super ? "CdvdWriter_SuperVideoCD" : "CdvdWriter_VideoCD";
  const auto call = super ? &Emberline_CdvdWriter_SuperVideoCD : &Emberline_CdvdWriter_VideoCD;
  const QByteArray source = options.SourceFile.toLocal8Bit();
  Logger().WriteLog(QLatin1String(function));
  b.ExceptionCode = call(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus, &b.FailureInfo,
                         source.constData(), kAlbumId, 1, 1, b.TestMode ? 1 : 0, 1, kReadyMinutes);
  return b.ExceptionCode == 0 || Failed(b, function);
}

bool BurnDVDVideo(TsbBurner& b, const TsbVideoBurnOptions& options, TsbDvdVideoStructure& structure) {
  if (!structure.Create(b, options)) {
    b.BurnSucceeded = false;
    return false;
  }
  b.ExceptionCode = Emberline_CdvdWriter_TrackAtOnceFromTree(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                             &b.SystemStatus, &b.FailureInfo, structure.Tree(), 1,
                                                             b.TestMode ? 1 : 0, 1, 1, kReadyMinutes);
  return b.ExceptionCode == 0 || Failed(b, "CdvdWriter_TrackAtOnceFromTree");
}

}  // namespace

QString UnknownVideoKindText(std::uint8_t kind) {
  return QStringLiteral("Unknown video disc kind %1 (0 Video CD, 1 Super Video CD, 2 DVD-Video): nothing was burned")
      .arg(kind);
}

bool WriteVideoDisc(TsbBurner& b, const TsbVideoBurnOptions& options, TsbDvdVideoStructure& structure,
                    const TsbStepMessage& message) {
  b.BurnSucceeded = true;
  b.VerifyFailed = false;
  b.LastMessage.clear();
  message(LoadStr(15140), TsbLogItemType::litInfo);
  // A cancel that came while the burn was being prepared: nothing is written.
  if (b.Cancelled) {
    b.BurnSucceeded = false;
    return false;
  }
  return WriteCatchingFailure(b, [&] {
    switch (options.VideoKind) {
      case vkVideoCD:
        return BurnVideoCD(b, options, false);
      case vkSuperVideoCD:
        return BurnVideoCD(b, options, true);
      case vkDVDVideo:
        return BurnDVDVideo(b, options, structure);
      default:
        // Nothing burned must not be reported as a finished disc.
        b.LastMessage = UnknownVideoKindText(options.VideoKind);
        Logger().WriteLog(b.LastMessage);
        b.BurnSucceeded = false;
        return false;
    }
  });
}

}  // namespace ondrelle
