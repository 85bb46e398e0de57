#include "engine/page_checks.h"

#include <QFileInfo>

#include "devices/disc_type_text.h"
#include "engine/video_burn_options.h"
#include "engine/video_write_step.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

[[noreturn]] void Refuse(TsbCheckText text, const QString& argument = {}) {
  throw TsbCheckError(text, argument);
}

bool FileExists(const QString& path) {
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

}  // namespace

TsbCheckError::TsbCheckError(TsbCheckText text, const QString& argument)
    : TsbError(CheckText(text, argument)), text_(text), argument_(argument) {}

QString CheckText(TsbCheckText text, const QString& argument) {
  QString result = LoadStr(text);
  // Replaced, not formatted: a path may hold '%' itself.
  const qsizetype at = result.indexOf(QStringLiteral("%s"));
  if (at >= 0) result.replace(at, 2, argument);
  return result;
}

void CheckDeviceSelected(bool selected) {
  if (!selected) Refuse(ctNoDevice);
}

void CheckDiscWritable(std::uint8_t discInformationFirstByte, DISC_TYPE type) {
  if (discInformationFirstByte == 0 || type == DISC_TYPE_NO_MEDIA || type == DISC_TYPE_UNKNOWN ||
      !IsWritableDiscType(type))
    Refuse(ctNoWritableDisc);
}

void CheckDiscBlank(const TsbDiscSpace& space) {
  if (space.FreeSize != space.TotalSize) Refuse(ctDiscNotBlank);
}

void CheckDiscSuitsKind(std::uint8_t kind, DISC_TYPE type) {
  if (kind == vkDVDVideo) {
    switch (type) {
      case DISC_TYPE_DVDR:
      case DISC_TYPE_DVDRWRO:
      case DISC_TYPE_DVDRWSR:
      case DISC_TYPE_DVDPLUSRW:
      case DISC_TYPE_DVDPLUSR:
      case DISC_TYPE_DVDPLUSR_DL:
        return;
      default:
        Refuse(ctNeedDVD);
    }
  }
  if (kind == vkVideoCD || kind == vkSuperVideoCD) {
    switch (type) {
      case DISC_TYPE_CDR:
      case DISC_TYPE_CDRW:
      case DISC_TYPE_DDCDR:
      case DISC_TYPE_DDCDRW:
        return;
      default:
        Refuse(ctNeedCD);
    }
  }
  throw TsbError(UnknownVideoKindText(kind));
}

void CheckSourceFits(std::int64_t freeSize, std::int64_t sourceSize) {
  if (freeSize < sourceSize) Refuse(ctSourceTooBig);
}

void CheckSourceGiven(const QString& path) {
  if (path.isEmpty()) Refuse(ctNoSourcePath);
}

void CheckSourceFileExists(std::uint8_t kind, const QString& path) {
  if ((kind == vkVideoCD || kind == vkSuperVideoCD) && !FileExists(path)) Refuse(ctFileNotFound);
}

QString VideoTemplateName(std::uint8_t kind) {
  switch (kind) {
    case vkVideoCD:
      return QStringLiteral("Emberline_VideoCD.iso");
    case vkSuperVideoCD:
      return QStringLiteral("Emberline_SuperVideoCD.iso");
    default:
      return {};
  }
}

void CheckTemplatePresent(const QString& fullPath) {
  if (!fullPath.isEmpty() && !FileExists(fullPath)) Refuse(ctTemplateMissing, fullPath);
}

}  // namespace ondrelle
