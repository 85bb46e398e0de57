// The GUI tests run inside one application object, offscreen.

#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include "platform/system_settings.h"

namespace {

// The wizard remembers choices in the user's settings; a test that changes
// one must not hand it to the tests after it in the same process.
class ForgetUserSettings : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override {
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, ondrelle::platform::kSettingsOrganisation,
                       ondrelle::platform::kSettingsApplication);
    settings.clear();
    settings.sync();
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  qputenv("QT_QPA_PLATFORM",
          qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  // This run keeps its own user settings, and each test starts from none.
  const QTemporaryDir userSettings;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, userSettings.path());
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetUserSettings);  // gtest owns its listeners
  return RUN_ALL_TESTS();
}
