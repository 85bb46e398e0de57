#include "engine/video_burn_thread.h"

#include <QDateTime>

#include "devices/library_callback.h"
#include "devices/library_result.h"
#include "emberline/dvd_video.h"
#include "emberline/writing.h"
#include "engine/burner.h"
#include "engine/disc_verify.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

constexpr std::uint32_t kReadyMinutes = 5;
constexpr char kAlbumId[] = "Album VideoCD";
constexpr char kApplication[] = "Marrowick";

}  // namespace

QString UnknownVideoKindText(std::uint8_t kind) {
  return QStringLiteral("Unknown video disc kind %1 (0 Video CD, 1 Super Video CD, 2 DVD-Video): nothing was burned")
      .arg(kind);
}

TsbVideoBurnThread::TsbVideoBurnThread(TsbBurner& burner, const TsbVideoBurnOptions& options)
    : TsbCustomThread(burner), Options(options) {}

void TsbVideoBurnThread::Execute() {
  TsbBurner& b = *Burner;
  try {
    b.BurnSucceeded = true;
    b.VerifyFailed = false;
    b.LastMessage.clear();
    DoMessage(LoadStr(15140), TsbLogItemType::litInfo);
    CallBackEventer().DoCancelEnabled(true);
    // A cancel that came while the burn was being prepared: nothing is written.
    if (b.Cancelled) {
      b.BurnSucceeded = false;
    } else {
      switch (Options.VideoKind) {
        case vkVideoCD:
          BurnVideoCD(b, false);
          break;
        case vkSuperVideoCD:
          BurnVideoCD(b, true);
          break;
        case vkDVDVideo:
          BurnDVDVideo(b);
          break;
        default:
          // Nothing burned must not be reported as a finished disc.
          b.LastMessage = UnknownVideoKindText(Options.VideoKind);
          b.BurnSucceeded = false;
          Logger().WriteLog(b.LastMessage);
          break;
      }
    }
  } catch (const TsbError& error) {
    b.LastMessage = error.Message();
    b.BurnSucceeded = false;
  } catch (const std::exception& error) {
    b.LastMessage = QString::fromLocal8Bit(error.what());
    b.BurnSucceeded = false;
  }
  // A cancelled burn is not reported as an error.
  if (b.Cancelled) b.LastMessage.clear();
  Burner = nullptr;
}

void TsbVideoBurnThread::Fail(TsbBurner& b, const char* function) {
  b.LastMessage = EmberlineFailureText(function, b.ExceptionCode, b.SystemStatus, b.ExceptionText.data());
  b.BurnSucceeded = false;
  Logger().WriteLog(b.LastMessage);
}

void TsbVideoBurnThread::Verify(TsbBurner& b) {
  VerifyBurnedDisc(b, [this](const QString& text, TsbLogItemType kind) { DoMessage(text, kind); });
}

void TsbVideoBurnThread::BurnVideoCD(TsbBurner& b, bool super) {
  const char* function = super ? "CdvdWriter_SuperVideoCD" : "CdvdWriter_VideoCD";
  const auto call = super ? &Emberline_CdvdWriter_SuperVideoCD : &Emberline_CdvdWriter_VideoCD;
  const QByteArray source = Options.SourceFile.toLocal8Bit();
  Logger().WriteLog(QLatin1String(function));
  b.ExceptionCode = call(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus, &b.FailureInfo,
                         source.constData(), kAlbumId, 1, 1, b.TestMode ? 1 : 0, 1, kReadyMinutes);
  if (b.ExceptionCode != 0)
    Fail(b, function);
  else
    Verify(b);
}

void TsbVideoBurnThread::BurnDVDVideo(TsbBurner& b) {
  // The structure's volume is dated with the moment the burn starts.
  const QDateTime now = QDateTime::currentDateTime();
  const QDate day = now.date();
  const QTime time = now.time();
  const QByteArray folder = Options.SourceFolder.toLocal8Bit();
  const QByteArray label = Options.VolumeLabel.toLocal8Bit();
  const QByteArray publisher = Options.PublisherName.toLocal8Bit();
  auto n16 = [](int v) { return static_cast<std::uint16_t>(v); };

  EmberlineHandle dvd = nullptr;
  Logger().WriteLog(QStringLiteral("DVDVideo_Create"));
  b.ExceptionCode = Emberline_DVDVideo_Create(&dvd, folder.constData(), 1, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                              &b.SystemStatus, label.constData(), publisher.constData(), kApplication,
                                              n16(day.year()), n16(day.month()), n16(day.day()), n16(time.hour()),
                                              n16(time.minute()), n16(time.second()), n16(time.msec()));
  if (b.ExceptionCode != 0) {
    Fail(b, "DVDVideo_Create");
    return;
  }

  // Files of the folder that are not part of the disc are named, as renamed files are.
  Emberline_DVDVideo_ReportLeftOut(dvd, &EmberlineCallBack, nullptr);

  EmberlineHandle tree = nullptr;
  Logger().WriteLog(QStringLiteral("DVDVideo_GetTreePointer"));
  Emberline_DVDVideo_GetTreePointer(dvd, &tree);
  b.ExceptionCode =
      Emberline_CdvdWriter_TrackAtOnceFromTree(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                               &b.FailureInfo, tree, 1, b.TestMode ? 1 : 0, 1, 1, kReadyMinutes);
  if (b.ExceptionCode != 0)
    Fail(b, "CdvdWriter_TrackAtOnceFromTree");
  else
    Verify(b);  // while the structure the disc is compared with is still there
  if (dvd != nullptr) {
    Emberline_DVDVideo_Destroy(dvd);
    dvd = nullptr;
  }
}

}  // namespace ondrelle
