#include "log/diagnostic_logger.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTime>
#include <thread>

#include "platform/system_settings.h"

using ondrelle::TsbLogger;
using ondrelle::TsbLoggerSettings;

namespace {

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

TsbLogger::Clock FixedClock(int h, int m, int s, int ms) {
  return [=] { return QTime(h, m, s, ms); };
}

// Points the machine-wide settings store at a private folder for one test.
class SystemSettingsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(settingsDir_.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, settingsDir_.path());
  }
  void Store(const QString& name, const QVariant& value) {
    QSettings settings(QSettings::NativeFormat, QSettings::SystemScope, ondrelle::platform::kSettingsOrganisation,
                       ondrelle::platform::kSettingsApplication);
    settings.setValue(name, value);
    settings.sync();
  }
  QTemporaryDir settingsDir_;
  QTemporaryDir logDir_;
};

}  // namespace

TEST_F(SystemSettingsFixture, LogEnabledOneWritesTheFile) {
  Store(QStringLiteral("LogEnabled"), QStringLiteral("1"));
  Store(QStringLiteral("LogLevel"), QStringLiteral("3"));
  const TsbLoggerSettings settings = TsbLoggerSettings::FromSystemSettings();
  EXPECT_TRUE(settings.Enabled);
  EXPECT_EQ(settings.Level, 3);

  const QString file = logDir_.filePath(QStringLiteral("ondrelle.log"));
  TsbLogger logger(settings, file);
  logger.WriteLog(QStringLiteral("CdvdWriter_Lock"));
  EXPECT_TRUE(ReadAll(file).endsWith(": CdvdWriter_Lock\r\n"));
}

TEST_F(SystemSettingsFixture, LogStaysOffForZeroTextAndAbsentValues) {
  for (const QVariant& value :
       {QVariant(QStringLiteral("0")), QVariant(QStringLiteral("yes")), QVariant(QStringLiteral("1x")), QVariant()}) {
    if (value.isValid())
      Store(QStringLiteral("LogEnabled"), value);
    else
      QFile::remove(settingsDir_.filePath(QStringLiteral("Quenmere/Tallowen.conf")));
    const TsbLoggerSettings settings = TsbLoggerSettings::FromSystemSettings();
    EXPECT_FALSE(settings.Enabled) << value.toString().toStdString();
    EXPECT_EQ(settings.Level, 0);

    const QString file = logDir_.filePath(QStringLiteral("off.log"));
    TsbLogger logger(settings, file);
    logger.WriteLog(QStringLiteral("StartUp"));
    EXPECT_FALSE(QFile::exists(file)) << value.toString().toStdString();
  }
}

TEST(DiagnosticLogger, LineFormatIsTimeColonSpaceMessageCrLf) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("x.log"));
  TsbLogger logger({true, 0}, file, FixedClock(14, 3, 7, 45));
  logger.WriteLog(QStringLiteral("CdvdWriter_Lock"));
  logger.WriteLog(QStringLiteral("StartUp"));
  EXPECT_EQ(ReadAll(file), QByteArray("14:03:07.045: CdvdWriter_Lock\r\n14:03:07.045: StartUp\r\n"));
}

TEST(DiagnosticLogger, LaterRunsAppendAndADeletedFileIsCreatedAgain) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("x.log"));
  {
    TsbLogger first({true, 0}, file, FixedClock(1, 2, 3, 4));
    first.WriteLog(QStringLiteral("one"));
  }
  {
    TsbLogger second({true, 0}, file, FixedClock(1, 2, 3, 5));
    second.WriteLog(QStringLiteral("two"));
    EXPECT_EQ(ReadAll(file), QByteArray("01:02:03.004: one\r\n01:02:03.005: two\r\n"));
    ASSERT_TRUE(QFile::remove(file));
    second.WriteLog(QStringLiteral("three"));
  }
  EXPECT_EQ(ReadAll(file), QByteArray("01:02:03.005: three\r\n"));
}

TEST(DiagnosticLogger, TwoThreadsLoseAndMixNoLine) {
  QTemporaryDir dir;
  const QString file = dir.filePath(QStringLiteral("threads.log"));
  TsbLogger logger({true, 0}, file, FixedClock(0, 0, 0, 0));
  constexpr int kLines = 10000;
  auto writer = [&](char tag) {
    for (int i = 0; i < kLines; ++i)
      logger.WriteLog(QStringLiteral("%1-%2-padding-to-make-lines-long").arg(tag).arg(i));
  };
  std::thread a(writer, 'a');
  std::thread b(writer, 'b');
  a.join();
  b.join();

  const QList<QByteArray> lines = ReadAll(file).split('\n');
  ASSERT_EQ(lines.size(), 2 * kLines + 1);  // the split leaves an empty tail
  int nextA = 0, nextB = 0;
  for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
    const QByteArray& line = lines[i];
    ASSERT_TRUE(line.startsWith("00:00:00.000: ") && line.endsWith("-padding-to-make-lines-long\r")) << line.data();
    const QList<QByteArray> parts = line.mid(14).split('-');
    int& next = parts[0] == "a" ? nextA : nextB;
    EXPECT_EQ(parts[1].toInt(), next) << "thread " << parts[0].data() << " out of order";
    ++next;
  }
  EXPECT_EQ(nextA, kLines);
  EXPECT_EQ(nextB, kLines);
}

TEST(DiagnosticLogger, UnwritableFileNeverStopsTheCallerAndIsReportedOnce) {
  QTemporaryDir dir;
  // A directory in the file's place cannot be opened for writing, even by root.
  const QString file = dir.filePath(QStringLiteral("blocked.log"));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("blocked.log")));
  TsbLogger logger({true, 0}, file);

  testing::internal::CaptureStderr();
  EXPECT_NO_THROW(logger.WriteLog(QStringLiteral("first")));
  EXPECT_NO_THROW(logger.WriteLog(QStringLiteral("second")));
  const std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_NE(errors.find("cannot write the diagnostic log"), std::string::npos);
  EXPECT_EQ(errors.find("cannot write", errors.find("cannot write") + 1), std::string::npos) << errors;
}

TEST(DiagnosticLogger, FileNameIsTheExecutablesBaseNameBesideIt) {
  EXPECT_EQ(TsbLogger::LogFileNameFor(QStringLiteral("/opt/ondrelle/ondrelle-cli")),
            QStringLiteral("/opt/ondrelle/ondrelle-cli.log"));
  EXPECT_EQ(TsbLogger::LogFileNameFor(QStringLiteral("/opt/a.b/ondrelle.v2.exe")),
            QStringLiteral("/opt/a.b/ondrelle.v2.log"));

  TsbLogger logger({false, 0});
  const QString name = logger.GetLogFileName();
  EXPECT_TRUE(name.endsWith(QStringLiteral("/log-tests.log"))) << name.toStdString();
  EXPECT_EQ(logger.GetLogFileName(), name);
}
