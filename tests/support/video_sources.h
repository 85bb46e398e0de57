#pragma once
// The build's video sources for tests that choose one: the MPEG streams and
// the VIDEO_TS folders the fixture scripts make, by name.

#include <QFileInfo>
#include <QString>

namespace test_support {

/// An MPEG stream (or other file) of the video fixtures.
inline QString VideoFixture(const char* name) {
  return QStringLiteral(ONDRELLE_VIDEO_FIXTURES "/") + QString::fromLatin1(name);
}

/// A path below the DVD fixtures' folder, e.g. "one-title/VIDEO_TS".
inline QString DvdFixture(const char* name) {
  return QStringLiteral(ONDRELLE_DVD_FIXTURES_DIR "/") + QString::fromLatin1(name);
}

/// Whether the fixture scripts ran for this build: a test without them skips.
inline bool VideoFixturesPresent() {
  return QFileInfo::exists(VideoFixture("vcd-pal.mpg")) && QFileInfo::exists(DvdFixture("one-title/VIDEO_TS"));
}

}  // namespace test_support
