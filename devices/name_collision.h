#pragma once
// How the program resolves a name collision the library reports while it
// fills a file tree: folders of the same name are merged; anything else gets
// a new name, rewritten in place inside the record.

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <cstdint>

#include "emberline/file_tree.h"

namespace ondrelle {

/// Counts ISO 9660 renames over the program's life; starts at 1.
extern std::int32_t ISO9660RenameCounter;

/// Rewrites an 8-bit ISO 9660 name ("LONGFILENAME.TXT;1" -> "LONGFIL1.TXT;1")
/// inside its `capacity`-byte field, NUL-terminated.
void RenameISO9660(char* name, std::size_t capacity);

/// Rewrites a 16-bit Joliet name by adding the date and time
/// ("report.doc" -> "report_07/12/2026_09_05_00.doc") inside its field of
/// `capacity` characters; a long base is shortened first so the result fits.
void RenameJoliet(char16_t* name, std::size_t capacity, const QDateTime& now = QDateTime::currentDateTime(),
                  const QLocale& locale = QLocale::system());

/// Callback 3: decides the answer and rewrites the name as needed.
void ResolveNameCollision(EmberlineNameCollision& collision);

/// Callback 4: what became of the second entry of a settled collision, for
/// the user's log, with the name the library gave it.
QString NameCollisionText(const EmberlineNameCollision& collision);

}  // namespace ondrelle
