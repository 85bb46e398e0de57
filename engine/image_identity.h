#pragma once
// What an image says about the program that made it: the data preparer and
// application identifiers of its volume descriptors. The program's name and
// version, never where it happens to be installed.
#include <QByteArray>

inline QByteArray ImageProgramIdentity() {
  return QByteArrayLiteral("ONDRELLE " ONDRELLE_VERSION);
}
