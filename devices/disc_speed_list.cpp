#include "devices/disc_speed_list.h"

#include <QObject>
#include <array>
#include <span>

#include "devices/disc_type_text.h"
#include "devices/library_result.h"
#include "devices/tsb_error.h"
#include "devices/writer_state.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {

constexpr std::array<std::uint32_t, 16> kCDWriteSpeeds = {176,  353,  387,  528,  706,  1056, 1400, 1760,
                                                          2112, 2800, 3250, 4224, 7040, 7744, 8448, 9152};
constexpr std::array<std::uint32_t, 10> kDVDWriteSpeeds = {1385, 2770, 3324,  4155,  5540,
                                                           6925, 8310, 11080, 16620, 22160};
constexpr std::uint32_t kCDBaseSpeed = 176;
constexpr std::uint32_t kDVDBaseSpeed = 1385;
constexpr std::uint32_t kFastest = 0xFFFF;

struct Speeds {
  std::uint32_t currentRead = 0, maximumRead = 0, currentWrite = 0, maximumWrite = 0;
};

std::uint8_t SetSpeeds(TsbWriterState& b, std::uint32_t read, std::uint32_t write) {
  b.ExceptionCode = Emberline_CdvdWriter_SetSpeeds(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                   &b.SystemStatus, &b.FailureInfo, read, write);
  return b.ExceptionCode;
}

std::uint8_t GetSpeeds(TsbWriterState& b, Speeds& s) {
  b.ExceptionCode =
      Emberline_CdvdWriter_GetSpeeds(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                     &b.FailureInfo, &s.currentRead, &s.maximumRead, &s.currentWrite, &s.maximumWrite);
  return b.ExceptionCode;
}

QString FailureOf(TsbWriterState& b, const char* function) {
  return EmberlineFailureText(function, b.ExceptionCode, b.SystemStatus, b.ExceptionText.data());
}

}  // namespace

QString NoWriteSpeedsText() {
  return QObject::tr("No write speeds: the drive reports none for this disc");
}

TsbDiscSpeedItem& TsbDiscSpeedList::Add() {
  items_.emplace_back();
  return items_.back();
}

TsbDiscSpeedItem* TsbDiscSpeedList::FindBySpeedInPoint(std::int32_t point) {
  for (auto& item : items_)
    if (item.SpeedInPoint == point) return &item;
  return nullptr;
}

void TsbDiscSpeedList::Build(TsbWriterState& b) {
  Clear();

  Logger().WriteLog(QStringLiteral("CdvdWriter_TestUnitReady"));
  b.ExceptionCode = Emberline_CdvdWriter_TestUnitReady(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                       &b.SystemStatus, &b.FailureInfo);
  if (b.ExceptionCode != 0) Logger().WriteLog(FailureOf(b, "CdvdWriter_TestUnitReady"));

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscInformation"));
  std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> disc{};
  b.ExceptionCode = Emberline_CdvdWriter_GetDiscInformation(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                            &b.SystemStatus, &b.FailureInfo, disc.data());
  if (b.ExceptionCode != 0) Logger().WriteLog(FailureOf(b, "CdvdWriter_GetDiscInformation"));

  Logger().WriteLog(QStringLiteral("CdvdWriter_SetSpeeds: ReadSpeed: %1,WriteSpeed: %2").arg(kFastest).arg(kFastest));
  if (SetSpeeds(b, kFastest, kFastest) != 0) {
    b.LastMessage = FailureOf(b, "CdvdWriter_SetSpeeds");
    Logger().WriteLog(b.LastMessage);
    throw TsbError(b.LastMessage);
  }

  Logger().WriteLog(QStringLiteral("CdvdWriter_GetSpeeds"));
  Speeds speeds;
  const std::uint8_t got = GetSpeeds(b, speeds);
  MaxReadSpeed = static_cast<std::int32_t>(speeds.maximumRead);
  MaxWriteSpeed = static_cast<std::int32_t>(speeds.maximumWrite);
  if (got != 0) {
    const QString message = FailureOf(b, "CdvdWriter_GetSpeeds");
    Logger().WriteLog(message);
    throw TsbError(message);
  }
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetSpeeds: CurrentReadSpeed: %1,MaximumReadSpeed: %2,"
                                   "CurrentWriteSpeed: %3,MaximumWriteSpeed: %4")
                        .arg(speeds.currentRead)
                        .arg(speeds.maximumRead)
                        .arg(speeds.currentWrite)
                        .arg(speeds.maximumWrite));

  const bool dvd = IsDVDDiscType(b.DiscType);
  const std::span<const std::uint32_t> table =
      dvd ? std::span<const std::uint32_t>(kDVDWriteSpeeds) : std::span<const std::uint32_t>(kCDWriteSpeeds);
  const std::uint32_t base = dvd ? kDVDBaseSpeed : kCDBaseSpeed;

  for (const std::uint32_t request : table) {
    // Failures here are silent: the previous reading stands, so its key
    // comes out again and adds nothing.
    SetSpeeds(b, speeds.currentRead, request);
    GetSpeeds(b, speeds);
    // A drive that reads only (or a disc it cannot write) answers with a
    // write speed of 0: that is no speed to offer, and the list stays empty.
    if (speeds.currentWrite == 0) continue;
    const auto key = static_cast<std::int32_t>(speeds.currentWrite / base);
    if (FindBySpeedInPoint(key) != nullptr) continue;
    TsbDiscSpeedItem& item = Add();
    item.SpeedInPoint = key;
    item.SpeedInSize = static_cast<std::int32_t>(speeds.currentWrite);
  }

  for (auto& item : items_)
    item.StrSpeed = QStringLiteral("%1.0x (%2 KB/sec)").arg(item.SpeedInPoint).arg(item.SpeedInSize);
}

}  // namespace ondrelle
