#include "devices/disc_type_text.h"

namespace ondrelle {

QString DiscTypeToStr(DISC_TYPE type) {
  switch (type) {
    case DISC_TYPE_UNKNOWN:
      return QStringLiteral("Unknown");
    case DISC_TYPE_CDROM:
      return QStringLiteral("CD-ROM");
    case DISC_TYPE_CDR:
      return QStringLiteral("CD-R");
    case DISC_TYPE_CDRW:
      return QStringLiteral("CD-RW");
    case DISC_TYPE_DVDROM:
      return QStringLiteral("DVD-ROM");
    case DISC_TYPE_DVDR:
      return QStringLiteral("DVD-R");
    case DISC_TYPE_DVDRAM:
      return QStringLiteral("DVD-RAM");
    case DISC_TYPE_DVDRWRO:
      return QStringLiteral("DVD-RW RO (Restricted Overwrite)");
    case DISC_TYPE_DVDRWSR:
      return QStringLiteral("DVD-RW SR (Sequential Recording)");
    case DISC_TYPE_DVDPLUSRW:
      return QStringLiteral("DVD+RW");
    case DISC_TYPE_DDCDROM:
      return QStringLiteral("DD (Double Density) CD-ROM");
    case DISC_TYPE_DDCDR:
      return QStringLiteral("DD (Double Density) CD-R");
    case DISC_TYPE_DDCDRW:
      return QStringLiteral("DD (Double Density) CD-RW");
    case DISC_TYPE_DVDPLUSR:
      return QStringLiteral("DVD+R");
    case DISC_TYPE_NO_MEDIA:
      return QStringLiteral("Empty");
    default:
      return {};
  }
}

bool IsWritableDiscType(DISC_TYPE type) {
  return type != DISC_TYPE_CDROM && type != DISC_TYPE_DVDROM && type != DISC_TYPE_DDCDROM;
}

bool IsDVDDiscType(DISC_TYPE type) {
  switch (type) {
    case DISC_TYPE_DVDROM:
    case DISC_TYPE_DVDR:
    case DISC_TYPE_DVDRAM:
    case DISC_TYPE_DVDRWRO:
    case DISC_TYPE_DVDRWSR:
    case DISC_TYPE_DVDPLUSRW:
    case DISC_TYPE_DVDPLUSR:
    case DISC_TYPE_DVDPLUSR_DL:
      return true;
    default:
      return false;
  }
}

}  // namespace ondrelle
