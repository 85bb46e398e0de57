#pragma once
// The program's user-visible texts, by numeric identifier. The English
// text is the source; other languages come from the translation files
// (context "StringTable", the identifier as disambiguation).

#include <QString>

namespace ondrelle {

/// The text of `id` in the current language; empty for an unknown id.
QString LoadStr(int id);

/// The identifiers known to the table, in ascending order.
QList<int> StringTableIds();

}  // namespace ondrelle
