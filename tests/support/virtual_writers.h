#pragma once
// Starts the library with virtual writers of a test's choosing, recording
// into a private folder, and stops it again.

#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdlib>

#include "devices/library_lifetime.h"
#include "support/process_scratch.h"

class VirtualWriters {
 public:
  explicit VirtualWriters(const char* writers) {
    ::setenv("ONDRELLE_VIRTUAL_DIR", directory_.path().toLocal8Bit().constData(), 1);
    if (writers != nullptr)
      ::setenv("ONDRELLE_VIRTUAL_WRITERS", writers, 1);
    else
      ::unsetenv("ONDRELLE_VIRTUAL_WRITERS");
    ondrelle::StartLibrary();
  }
  ~VirtualWriters() {
    ondrelle::ShutDownLibrary();
    ::setenv("ONDRELLE_VIRTUAL_DIR", test_support::defaultVirtualDirectory().c_str(), 1);
  }
  VirtualWriters(const VirtualWriters&) = delete;
  VirtualWriters& operator=(const VirtualWriters&) = delete;

  QString Directory() const { return directory_.path(); }
  /// The names of the files the writers recorded that match `pattern`.
  QStringList Images(const char* pattern) const {
    return QDir(directory_.path()).entryList({QString::fromLatin1(pattern)});
  }

 private:
  QTemporaryDir directory_;
};
