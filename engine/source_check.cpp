#include "engine/source_check.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <array>
#include <cmath>

#include "emberline/dvd_video.h"
#include "emberline/file_tree.h"
#include "emberline/video_source.h"
#include "engine/source_size.h"
#include "engine/video_burn_options.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {

constexpr std::int64_t kSectorBytes = 2048;

QString DiscName(std::uint8_t kind) {
  switch (kind) {
    case vkVideoCD:
      return QStringLiteral("a Video CD");
    case vkSuperVideoCD:
      return QStringLiteral("a Super Video CD");
    default:
      return QStringLiteral("a DVD-Video disc");
  }
}

/// What to choose instead, for a source the kind refused.
QString Remedy(std::uint8_t kind) {
  switch (kind) {
    case vkVideoCD:
      return QStringLiteral(
          "choose an MPEG-1 file made for a Video CD (352x288 at 25 fps, or 352x240 at 29.97 or "
          "23.976 fps)");
    case vkSuperVideoCD:
      return QStringLiteral(
          "choose an MPEG-2 file made for a Super Video CD (480x576 at 25 fps, or 480x480 at "
          "29.97 fps)");
    default:
      return QStringLiteral("choose the VIDEO_TS folder of a finished DVD, or the folder that holds it");
  }
}

/// The library's text without the path it starts with and without a final stop.
QString Fault(const QString& text, const QString& path) {
  QString fault = text.trimmed();
  const QString prefix = path + QStringLiteral(": ");
  if (!path.isEmpty() && fault.startsWith(prefix)) fault = fault.mid(prefix.size());
  while (fault.endsWith(QLatin1Char('.'))) fault.chop(1);
  return fault;
}

QString LibraryText(const std::array<char, EMBERLINE_TEXT_SIZE>& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(qstrnlen(text.data(), text.size())));
}

void CheckMpegFile(TsbSourceCheck& check, std::uint8_t* cancel) {
  const QByteArray file = check.Path.toLocal8Bit();
  std::array<char, EMBERLINE_TEXT_SIZE> text{};
  std::uint32_t status = 0;
  EmberlineVideoSourceFacts facts{};
  Logger().WriteLog(QStringLiteral("VideoCD_CheckSource"));
  const std::uint8_t code = Emberline_VideoCD_CheckSource(file.constData(), check.Kind == vkSuperVideoCD ? 1 : 0,
                                                          text.data(), EMBERLINE_TEXT_SIZE, &status, &facts, cancel);
  if (code == EMBERLINE_E_CANCELLED) {
    check.Result = TsbSourceCheck::Outcome::Cancelled;
    return;
  }
  if (code != EMBERLINE_OK) {
    check.Detail = LibraryText(text);
    check.Refusal = PlainSourceRefusal(check.Kind, code, check.Detail, check.Path);
    return;
  }
  check.Result = TsbSourceCheck::Outcome::Passed;
  check.SystemVersion = facts.systemVersion;
  check.Width = facts.width;
  check.Height = facts.height;
  check.FrameRateNumerator = facts.frameRateNumerator;
  check.FrameRateDenominator = facts.frameRateDenominator == 0 ? 1 : facts.frameRateDenominator;
  check.PlayingMilliseconds = facts.playingMilliseconds;
  check.Bytes = static_cast<std::int64_t>(facts.fileSize);
  check.DiscSectors = facts.discSectors;
}

void CheckDvdFolder(TsbSourceCheck& check) {
  const QByteArray folder = check.Path.toLocal8Bit();
  std::array<char, EMBERLINE_TEXT_SIZE> text{};
  std::uint32_t status = 0;
  EmberlineHandle dvd = nullptr;
  // The date only stamps the volume; the layout does not depend on it.
  Logger().WriteLog(QStringLiteral("DVDVideo_Create"));
  const std::uint8_t code = Emberline_DVDVideo_Create(&dvd, folder.constData(), 1, text.data(), EMBERLINE_TEXT_SIZE,
                                                      &status, "VIDEO", "", "", 2000, 1, 1, 0, 0, 0, 0);
  if (code != EMBERLINE_OK) {
    check.Detail = LibraryText(text);
    check.Refusal = PlainSourceRefusal(check.Kind, code, check.Detail, check.Path);
    return;
  }
  EmberlineHandle tree = nullptr;
  Logger().WriteLog(QStringLiteral("DVDVideo_GetTreePointer"));
  Emberline_DVDVideo_GetTreePointer(dvd, &tree);
  std::uint32_t high = 0;
  Logger().WriteLog(QStringLiteral("ISO9660JolietFileTree_GetSizeInBytes"));
  const std::uint32_t low = tree == nullptr ? 0 : Emberline_ISO9660JolietFileTree_GetSizeInBytes(tree, &high);
  const std::uint64_t bytes = (std::uint64_t{high} << 32) | low;
  Logger().WriteLog(QStringLiteral("DVDVideo_Destroy"));
  Emberline_DVDVideo_Destroy(dvd);
  check.Result = TsbSourceCheck::Outcome::Passed;
  check.Bytes = static_cast<std::int64_t>(bytes);
  check.DiscSectors = (bytes + kSectorBytes - 1) / kSectorBytes;
}

QString SizeText(std::int64_t bytes) {
  const double megabytes = static_cast<double>(bytes) / 1024.0 / 1024.0;
  if (megabytes >= 1024.0 * 10) return QStringLiteral("%1 GB").arg(megabytes / 1024.0, 0, 'f', 1);
  if (megabytes >= 10.0) return QStringLiteral("%1 MB").arg(std::llround(megabytes));
  return QStringLiteral("%1 MB").arg(megabytes, 0, 'f', 1);
}

QString DurationText(std::uint32_t milliseconds) {
  const std::uint32_t seconds = (milliseconds + 500) / 1000;
  if (seconds >= 3600) return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
  if (seconds >= 60) return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
  return QStringLiteral("%1 s").arg(seconds);
}

QString FrameRateText(std::uint32_t numerator, std::uint32_t denominator) {
  if (denominator <= 1) return QString::number(numerator);
  QString text = QString::number(static_cast<double>(numerator) / denominator, 'f', 3);
  while (text.endsWith(QLatin1Char('0'))) text.chop(1);
  if (text.endsWith(QLatin1Char('.'))) text.chop(1);
  return text;
}

}  // namespace

TsbSourceCheck CheckVideoSource(std::uint8_t kind, const QString& path, std::uint8_t* cancel) {
  TsbSourceCheck check;
  check.Kind = kind;
  check.Path = path;
  check.Fingerprint = SourceFingerprint(path);
  if (kind == vkVideoCD || kind == vkSuperVideoCD)
    CheckMpegFile(check, cancel);
  else if (kind == vkDVDVideo)
    CheckDvdFolder(check);
  else
    check.Refusal = QStringLiteral("Unknown video disc kind %1: go back and choose the kind of disc.").arg(kind);
  if (!check.Detail.isEmpty()) Logger().WriteLog(check.Detail);
  return check;
}

QString SourceFingerprint(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return {};
  if (!info.isDir()) return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
  // A folder: its files' sizes and the latest change below it.
  std::int64_t bytes = 0;
  qint64 latest = info.lastModified().toMSecsSinceEpoch();
  QDirIterator it(path, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo entry(it.next());
    if (entry.isFile()) bytes += entry.size();
    latest = std::max(latest, entry.lastModified().toMSecsSinceEpoch());
  }
  return QStringLiteral("%1 %2").arg(bytes).arg(latest);
}

QString SourceDescription(const TsbSourceCheck& check, std::uint64_t freeSectors) {
  if (!check.Passed()) return {};
  QString text;
  if (check.Kind == vkDVDVideo) {
    text = QStringLiteral("DVD-Video, %1").arg(SizeText(check.Bytes));
  } else {
    text = QStringLiteral("MPEG-%1, %2x%3, %4 fps, %5, %6")
               .arg(check.SystemVersion)
               .arg(check.Width)
               .arg(check.Height)
               .arg(FrameRateText(check.FrameRateNumerator, check.FrameRateDenominator),
                    DurationText(check.PlayingMilliseconds), SizeText(check.Bytes));
  }
  if (freeSectors > 0) {
    const auto share = static_cast<long long>(
        std::ceil(static_cast<double>(check.DiscSectors) * 100.0 / static_cast<double>(freeSectors)));
    text += QStringLiteral(": %1 % of the disc").arg(share);
  }
  return text;
}

QString SectorShortageText(std::uint8_t kind, std::uint64_t needed, std::uint64_t freeSectors) {
  if (needed <= freeSectors) return {};
  QString disc = DiscName(kind);
  disc[0] = disc.at(0).toUpper();
  return QStringLiteral(
             "%1 of this source needs %2 sectors but the disc has %3 free: choose a shorter %4, or "
             "insert a blank disc with more room.")
      .arg(disc)
      .arg(needed)
      .arg(freeSectors)
      .arg(kind == vkDVDVideo ? QStringLiteral("film") : QStringLiteral("file"));
}

QString PlainSourceRefusal(std::uint8_t kind, std::uint8_t code, const QString& text, const QString& path) {
  const QString fault = Fault(text, path);
  if (kind == vkVideoCD && fault.contains(QStringLiteral("MPEG-2 stream given for a Video CD")))
    return QStringLiteral(
        "This file is MPEG-2, which a Video CD cannot carry: choose an MPEG-1 file, or go back "
        "and choose Super Video CD.");
  if (kind == vkSuperVideoCD && fault.contains(QStringLiteral("MPEG-1 stream given for a Super Video CD")))
    return QStringLiteral(
        "This file is MPEG-1, which a Super Video CD cannot carry: choose an MPEG-2 file, or go "
        "back and choose Video CD.");
  if (code == EMBERLINE_E_FILE) {
    return kind == vkDVDVideo
               ? QStringLiteral("The folder cannot be read (%1): check that it is there and that you may read it.")
                     .arg(fault)
               : QStringLiteral("The file cannot be read (%1): check that it is there and that you may read it.")
                     .arg(fault);
  }
  if (code == EMBERLINE_E_NOT_STARTED)
    return QStringLiteral(
        "The source cannot be checked before the burning library is started: go back to the "
        "first page and press Next.");
  const QString what = kind == vkDVDVideo ? QStringLiteral("This folder") : QStringLiteral("This file");
  return QStringLiteral("%1 cannot be burned as %2 (%3): %4.").arg(what, DiscName(kind), fault, Remedy(kind));
}

}  // namespace ondrelle
