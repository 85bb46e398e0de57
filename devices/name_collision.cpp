#include "devices/name_collision.h"

#include <QString>
#include <algorithm>
#include <cstring>

namespace ondrelle {

std::int32_t ISO9660RenameCounter = 1;

namespace {

/// Where the extension part starts: a version suffix (";1") is skipped,
/// then the last dot within the five characters before it, if any.
template <class Text>
qsizetype ExtensionStart(const Text& name) {
  qsizetype e = name.size();
  if (name.size() >= 2 && name.at(name.size() - 2) == QLatin1Char(';')) e = name.size() - 2;
  for (qsizetype at = e; at >= e - 4 && at >= 0; --at) {
    if (at < name.size() && name.at(at) == QLatin1Char('.')) return at;
  }
  return e;
}

}  // namespace

void RenameISO9660(char* name, std::size_t capacity) {
  if (name == nullptr || capacity == 0) return;
  QString text = QString::fromLatin1(name, static_cast<qsizetype>(strnlen(name, capacity - 1)));
  while (text.size() < 2) text += QLatin1Char('0');
  const qsizetype e = ExtensionStart(text);
  const QString ext = text.mid(e, 10);
  const qsizetype keep = e <= 8 ? e : 7;
  const QString renamed = text.left(keep) + QString::number(ISO9660RenameCounter) + ext;
  ++ISO9660RenameCounter;
  const QByteArray bytes = renamed.toLatin1();
  const std::size_t length = std::min(static_cast<std::size_t>(bytes.size()), capacity - 1);
  std::memcpy(name, bytes.constData(), length);
  name[length] = '\0';
}

void RenameJoliet(char16_t* name, std::size_t capacity, const QDateTime& now, const QLocale& locale) {
  if (name == nullptr || capacity == 0) return;
  std::size_t length = 0;
  while (length + 1 < capacity && name[length] != 0) ++length;
  QString text = QString::fromUtf16(name, static_cast<qsizetype>(length));
  while (text.size() < 2) text += QLatin1Char('0');
  const qsizetype e = ExtensionStart(text);
  QString base = text.left(e);
  QString ext = text.mid(e);
  const QString stamp = QStringLiteral("_") + locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                        now.time().toString(QStringLiteral("HH:mm:ss"));

  // The result must end inside the field: shorten the base, then the extension.
  const auto room = static_cast<qsizetype>(capacity - 1);
  if (base.size() + stamp.size() + ext.size() > room)
    base.truncate(std::max<qsizetype>(0, room - stamp.size() - ext.size()));
  if (base.size() + stamp.size() + ext.size() > room) ext.truncate(std::max<qsizetype>(0, room - stamp.size()));
  QString renamed = (base + stamp + ext).left(room);
  // The extension's own dot stays, so the file still says what it is.
  const qsizetype keptDot =
      ext.startsWith(QLatin1Char('.')) && ext.size() > 1 && renamed.endsWith(ext) ? renamed.size() - ext.size() : -1;
  for (qsizetype at = 0; at < renamed.size(); ++at) {
    QChar& c = renamed[at];
    if (at != keptDot && (c.unicode() <= 0x20 || c == QLatin1Char(':') || c == QLatin1Char('.'))) c = QLatin1Char('_');
  }

  std::memcpy(name, renamed.utf16(), static_cast<std::size_t>(renamed.size()) * sizeof(char16_t));
  name[renamed.size()] = 0;
}

namespace {

/// The path of a collision entry (after its first byte).
QString EntryPath(const std::uint8_t* entry) {
  if (entry == nullptr) return {};
  return QString::fromLocal8Bit(reinterpret_cast<const char*>(entry + 1));
}

/// The file-name part: the text after the last "/", "\\" or ":".
QString FileNamePart(QString path) {
  path.replace(QLatin1Char('/'), QLatin1Char('\\'));
  const qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char(':')));
  return path.mid(cut + 1);
}

QString NameText(const EmberlineNameCollision& c) {
  if (c.joliet == 0) return QString::fromLatin1(reinterpret_cast<const char*>(c.name));
  char16_t wide[EMBERLINE_COLLISION_NAME_SIZE / 2];
  std::memcpy(wide, c.name, sizeof wide);
  wide[EMBERLINE_COLLISION_NAME_SIZE / 2 - 1] = 0;
  return QString::fromUtf16(wide);
}

}  // namespace

void ResolveNameCollision(EmberlineNameCollision& c) {
  const bool bothFolders =
      (c.firstAttributes & EMBERLINE_ATTRIBUTE_FOLDER) != 0 && (c.secondAttributes & EMBERLINE_ATTRIBUTE_FOLDER) != 0;
  // Two folders are one only when their names are the same, not merely
  // when they meet after case folding or the cut to the name's limit.
  if (bothFolders && c.joliet != 0 && FileNamePart(EntryPath(c.firstEntry)) == FileNamePart(EntryPath(c.secondEntry))) {
    c.answer = EMBERLINE_COLLISION_MERGE;
    return;
  }
  if (c.joliet == 0) {
    RenameISO9660(reinterpret_cast<char*>(c.name), sizeof c.name);
  } else {
    char16_t wide[EMBERLINE_COLLISION_NAME_SIZE / 2];
    std::memcpy(wide, c.name, sizeof wide);
    RenameJoliet(wide, EMBERLINE_COLLISION_NAME_SIZE / 2);
    std::memcpy(c.name, wide, sizeof wide);
  }
  const bool keepFirst =
      FileNamePart(EntryPath(c.firstEntry)).compare(QLatin1String("boot.img"), Qt::CaseInsensitive) == 0;
  c.answer = keepFirst ? EMBERLINE_COLLISION_KEEP_FIRST : EMBERLINE_COLLISION_RENAME;
}

QString NameCollisionText(const EmberlineNameCollision& c) {
  const QString firstPath = EntryPath(c.firstEntry);
  const QString secondPath = EntryPath(c.secondEntry);
  const QString space = c.joliet == 0 ? QStringLiteral("ISO 9660") : QStringLiteral("Joliet");
  switch (c.answer) {
    case EMBERLINE_COLLISION_MERGE:
      return QStringLiteral("The folders \"%1\" and \"%2\" have the same name and are merged into one")
          .arg(firstPath, secondPath);
    case EMBERLINE_COLLISION_KEEP_FIRST:
      return QStringLiteral("\"%1\" is left out: its %2 name is taken by the boot image \"%3\"")
          .arg(secondPath, space, firstPath);
    default:
      return QStringLiteral("The %1 name of \"%2\" collides with \"%3\"; it is renamed to \"%4\"")
          .arg(space, secondPath, firstPath, NameText(c));
  }
}

}  // namespace ondrelle
