#pragma once
// The program's pictures, compiled into its resources.

#include <QIcon>
#include <QPixmap>

namespace ondrelle::pictures {

inline QPixmap WizardHeader() {
  return QPixmap(QStringLiteral(":/pictures/wizard_header.png"));
}
inline QPixmap SidePicture() {
  return QPixmap(QStringLiteral(":/pictures/side_picture.png"));
}
inline QIcon ApplicationIcon() {
  return QIcon(QStringLiteral(":/pictures/ondrelle.png"));
}
/// The log icons in the order of TsbLogItemType: information, error, warning.
inline QPixmap LogIcon(int itemType) {
  static const char* const kNames[] = {":/pictures/log_info.png", ":/pictures/log_error.png",
                                       ":/pictures/log_warning.png"};
  if (itemType < 0 || itemType > 2) return {};
  return QPixmap(QString::fromLatin1(kNames[itemType]));
}
/// The frames of the wait window's clock, "MYCLOCK" frames 0 to 4.
inline QString ClockFrame(int frame) {
  return QStringLiteral(":/pictures/clock%1.png").arg(frame);
}

}  // namespace ondrelle::pictures
