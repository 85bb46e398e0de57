#include "engine/volume_label.h"

namespace ondrelle {

namespace {

constexpr qsizetype kIsoLabelLength = 32;
constexpr qsizetype kJolietLabelLength = 16;

}  // namespace

QString IsoVolumeLabel(const QString& label) {
  QString out;
  for (const QChar c : label.toUpper()) {
    const char16_t u = c.unicode();
    const bool allowed = (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'_';
    out += allowed ? c : QLatin1Char('_');
  }
  return out.left(kIsoLabelLength);
}

QString JolietVolumeLabel(const QString& label) {
  QString out;
  for (const QChar c : label) {
    const bool forbidden = c.unicode() < 0x20 || QStringLiteral("*/:;?\\").contains(c);
    out += forbidden ? QLatin1Char('_') : c;
  }
  return out.left(kJolietLabelLength);
}

QStringList VolumeLabelWarnings(const QString& label) {
  QStringList warnings;
  const QString iso = IsoVolumeLabel(label);
  if (iso != label.toUpper())
    warnings << QStringLiteral(
                    "The volume label \"%1\" is recorded as \"%2\" in the ISO 9660 names "
                    "(at most 32 letters, digits and _)")
                    .arg(label, iso);
  const QString joliet = JolietVolumeLabel(label);
  if (joliet != label)
    warnings << QStringLiteral(
                    "The volume label \"%1\" is recorded as \"%2\" in the Joliet names "
                    "(at most 16 characters, none of * / : ; ? \\ or control characters)")
                    .arg(label, joliet);
  return warnings;
}

}  // namespace ondrelle
