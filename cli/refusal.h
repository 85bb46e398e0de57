#pragma once
// A command line the program will not run: said on stderr, exit status 2.

#include <QString>
#include <cstdio>

namespace ondrelle::cli {

/// Prints "ondrelle-cli: `message`" to stderr and answers 2, the status of a refused command line.
inline int Refuse(const QString& message) {
  std::fprintf(stderr, "ondrelle-cli: %s\n", qPrintable(message));
  return 2;
}

}  // namespace ondrelle::cli
