// The checks before a video burn (declared in burn_checks.h).

#include <QFileInfo>

#include "devices/disc_type_text.h"
#include "emberline/cdvd_writer.h"
#include "engine/burn_checks.h"
#include "engine/burner.h"
#include "engine/source_tree.h"
#include "engine/tsb_error.h"
#include "engine/video_burn_options.h"
#include "engine/video_burn_thread.h"
#include "log/diagnostic_logger.h"
#include "platform/executable_path.h"

namespace ondrelle {

namespace {

bool IsCdForVideo(DISC_TYPE type) {
  return type == DISC_TYPE_CDR || type == DISC_TYPE_CDRW || type == DISC_TYPE_DDCDR || type == DISC_TYPE_DDCDRW;
}

bool IsDvdForVideo(DISC_TYPE type) {
  return type == DISC_TYPE_DVDR || type == DISC_TYPE_DVDRWRO || type == DISC_TYPE_DVDRWSR ||
         type == DISC_TYPE_DVDPLUSRW || type == DISC_TYPE_DVDPLUSR || type == DISC_TYPE_DVDPLUSR_DL;
}

/// Free and total space of the disc in the session's writer, as the device page reads them.
TsbDiscSpace ReadDiscSpace(TsbBurner& b) {
  TsbDiscSpace space;
  std::uint32_t freeCount = 0;
  std::uint64_t freeSize = 0;
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscFreeSpace"));
  if (Emberline_CdvdWriter_GetDiscFreeSpace(b.Writer, 3, &freeCount, &freeSize) != 0) return space;
  std::uint64_t usedSize = 0;
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscUsedSpace"));
  if (Emberline_CdvdWriter_GetDiscUsedSpace(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                            &b.FailureInfo, &usedSize) != 0)
    usedSize = 0;
  space.FreeSize = static_cast<std::int64_t>(freeSize);
  space.UsedSize = static_cast<std::int64_t>(usedSize);
  space.TotalSize = space.FreeSize + space.UsedSize;
  space.FreeCount = freeCount;
  return space;
}

}  // namespace

void CheckWritableDisc(DISC_TYPE type) {
  if (type == DISC_TYPE_NO_MEDIA || type == DISC_TYPE_UNKNOWN || !IsWritableDiscType(type))
    throw TsbError(QStringLiteral("No writable disc is inserted"));
}

void CheckBlankDisc(const TsbDiscSpace& space) {
  if (space.FreeSize != space.TotalSize) throw TsbError(QStringLiteral("Disc is not blank, burning is impossible!"));
}

void CheckDiscSuitsVideoKind(DISC_TYPE type, std::uint8_t kind) {
  switch (kind) {
    case vkVideoCD:
    case vkSuperVideoCD:
      if (!IsCdForVideo(type)) throw TsbError(QStringLiteral("Please insert blank CD-R or CD-RW media!"));
      return;
    case vkDVDVideo:
      if (!IsDvdForVideo(type))
        throw TsbError(QStringLiteral("Please insert blank DVD-R, DVD+R, DVD-RW, DVD+RW media!"));
      return;
    default:
      throw TsbError(UnknownVideoKindText(kind));
  }
}

void CheckSourceFitsDisc(std::int64_t freeSize, std::int64_t sourceSize) {
  if (freeSize < sourceSize) throw TsbError(QStringLiteral("Total file(s) size to big for burning on this disc!"));
}

void CheckVideoSourcePath(std::uint8_t kind, const QString& path) {
  if (path.isEmpty()) throw TsbError(QStringLiteral("You must select source path for video data!"));
  if ((kind == vkVideoCD || kind == vkSuperVideoCD) && !QFileInfo(path).isFile())
    throw TsbError(QStringLiteral("Specified file cannot be found"));
}

QString VideoTemplatePath(std::uint8_t kind) {
  if (kind == vkVideoCD) return platform::FileBesideExecutable(QStringLiteral("Emberline_VideoCD.iso"));
  if (kind == vkSuperVideoCD) return platform::FileBesideExecutable(QStringLiteral("Emberline_SuperVideoCD.iso"));
  return {};
}

void CheckVideoTemplate(std::uint8_t kind) {
  const QString path = VideoTemplatePath(kind);
  if (!path.isEmpty() && !QFileInfo::exists(path))
    throw TsbError(QStringLiteral("Can't find video template %1").arg(path));
}

void CheckBeforeVideoBurn(TsbBurner& b, std::uint8_t kind, const QString& source) {
  try {
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetInsertedDiscType"));
    b.DiscType = Emberline_CdvdWriter_GetInsertedDiscType(b.Writer);
    CheckWritableDisc(b.DiscType);
    b.DiscSpace = ReadDiscSpace(b);
    CheckBlankDisc(b.DiscSpace);
    CheckDiscSuitsVideoKind(b.DiscType, kind);
    CheckSourceFitsDisc(b.DiscSpace.FreeSize, source.isEmpty() ? 0 : SourceSize({source}));
    CheckVideoSourcePath(kind, source);
    CheckVideoTemplate(kind);
  } catch (const TsbError& error) {
    b.LastMessage = error.Message();
    Logger().WriteLog(b.LastMessage);
    throw;
  }
}

}  // namespace ondrelle
