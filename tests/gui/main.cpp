// The GUI tests run inside one application object, offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // The wizard remembers choices in the user's settings: this run keeps its own.
  const QTemporaryDir userSettings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
