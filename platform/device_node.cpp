#include "platform/device_node.h"

#include <sys/stat.h>

#include <QRegularExpression>

namespace ondrelle::platform {

QString DeviceNodeForName(const QString& name) {
  static const QRegularExpression pattern(QStringLiteral("^CdRom([0-9]{1,3})$"),
                                          QRegularExpression::CaseInsensitiveOption);
  const QRegularExpressionMatch match = pattern.match(name);
  if (!match.hasMatch()) return {};
  const QString node = QStringLiteral("/dev/sr") + QString::number(match.captured(1).toInt());
  struct stat info {};
  if (::stat(node.toLocal8Bit().constData(), &info) != 0 || !S_ISBLK(info.st_mode)) return {};
  return node;
}

}  // namespace ondrelle::platform
