#include "engine/dvd_video_structure.h"

#include <QFile>

#include "devices/library_callback.h"
#include "emberline/dvd_video.h"
#include "engine/burner.h"
#include "engine/library_call_failure.h"
#include "log/diagnostic_logger.h"
#include "platform/recording_clock.h"

namespace ondrelle {

namespace {
constexpr char kApplication[] = "Marrowick";
}  // namespace

bool TsbDvdVideoStructure::Create(TsbBurner& b, const TsbVideoBurnOptions& options) {
  Destroy();
  // The volume is dated with the moment the disc or the image is made.
  const QDateTime now = platform::RecordingMoment();
  const QDate day = now.date();
  const QTime time = now.time();
  const QByteArray folder = QFile::encodeName(options.SourceFolder);
  const QByteArray label = options.VolumeLabel.toUtf8();
  const QByteArray publisher = options.PublisherName.toUtf8();
  auto n16 = [](int v) { return static_cast<std::uint16_t>(v); };

  Logger().WriteLog(QStringLiteral("DVDVideo_Create"));
  b.ExceptionCode = Emberline_DVDVideo_Create(
      &handle_, folder.constData(), 1, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus, label.constData(),
      publisher.constData(), kApplication, n16(day.year()), n16(day.month()), n16(day.day()), n16(time.hour()),
      n16(time.minute()), n16(time.second()), n16(time.msec()));
  if (b.ExceptionCode != 0) {
    handle_ = nullptr;
    RecordLibraryFailure(b, "DVDVideo_Create");
    return false;
  }
  // Files of the folder that are not part of the disc are named, as renamed files are.
  Emberline_DVDVideo_ReportLeftOut(handle_, &EmberlineCallBack, nullptr);
  return true;
}

EmberlineHandle TsbDvdVideoStructure::Tree() const {
  if (handle_ == nullptr) return nullptr;
  EmberlineHandle tree = nullptr;
  Logger().WriteLog(QStringLiteral("DVDVideo_GetTreePointer"));
  Emberline_DVDVideo_GetTreePointer(handle_, &tree);
  return tree;
}

void TsbDvdVideoStructure::Destroy() {
  if (handle_ == nullptr) return;
  Emberline_DVDVideo_Destroy(handle_);
  handle_ = nullptr;
}

}  // namespace ondrelle
