#pragma once
// The program's user-visible texts, by numeric identifier. The English
// text is the source; other languages come from the translation files
// (context "StringTable", the identifier as disambiguation).

#include <QString>
#include <QStringList>

namespace ondrelle {

/// The text of `id` in the current language; empty for an unknown id.
QString LoadStr(int id);

/// The text of `id` with its placeholders "%d" and "%s" filled, in order,
/// from `values`. Nothing else is interpreted: a translation may move the
/// words around a number, but cannot make the text read more values than
/// it was given (a placeholder without a value stays as it is).
QString FormatStr(int id, const QStringList& values);

/// The identifiers known to the table, in ascending order.
QList<int> StringTableIds();

}  // namespace ondrelle
