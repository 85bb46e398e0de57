#include "log/diagnostic_logger.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>

#include "platform/executable_path.h"
#include "platform/system_settings.h"

namespace ondrelle {

namespace {

std::int32_t DecimalSettingOrZero(const QString& name) {
  const std::optional<QString> text = platform::ReadSystemSetting(name);
  if (!text) return 0;
  static const QRegularExpression decimal(QStringLiteral("^[+-]?[0-9]+$"));
  if (!decimal.match(*text).hasMatch()) return 0;
  bool ok = false;
  const int value = text->toInt(&ok, 10);
  return ok ? value : 0;
}

}  // namespace

TsbLoggerSettings TsbLoggerSettings::FromSystemSettings() {
  TsbLoggerSettings settings;
  settings.Enabled = DecimalSettingOrZero(QStringLiteral("LogEnabled")) != 0;
  settings.Level = DecimalSettingOrZero(QStringLiteral("LogLevel"));
  return settings;
}

TsbLogger::TsbLogger() : TsbLogger(TsbLoggerSettings::FromSystemSettings()) {}

TsbLogger::TsbLogger(TsbLoggerSettings settings, QString fileName, Clock clock)
    : settings_(settings), fileName_(std::move(fileName)), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return QTime::currentTime(); };
}

QString TsbLogger::LogFileNameFor(const QString& executablePath) {
  const QFileInfo info(executablePath);
  QString name = info.fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  QString directory = info.path();
  if (!directory.endsWith(QLatin1Char('/'))) directory += QLatin1Char('/');
  return directory + name + QStringLiteral(".log");
}

QString TsbLogger::GetLogFileName() {
  std::lock_guard lock(mutex_);
  if (fileName_.isEmpty()) fileName_ = LogFileNameFor(platform::ExecutablePath());
  return fileName_;
}

void TsbLogger::WriteLog(const QString& message) {
  if (!settings_.Enabled) return;
  const QString line = clock_().toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral(": ") + message;
  const QString name = GetLogFileName();

  std::lock_guard lock(mutex_);
  QFile file(name);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
    ReportFailureOnce(file.errorString());
    return;
  }
  QByteArray bytes = line.toLocal8Bit();
  bytes.append("\r\n", 2);
  if (file.write(bytes) != bytes.size() || !file.flush()) ReportFailureOnce(file.errorString());
}

void TsbLogger::ReportFailureOnce(const QString& reason) {
  if (failureReported_) return;
  failureReported_ = true;
  std::fprintf(stderr, "Ondrelle: cannot write the diagnostic log %s: %s; going on without it.\n",
               qPrintable(fileName_), qPrintable(reason));
}

TsbLogger& Logger() {
  static TsbLogger logger;
  return logger;
}

}  // namespace ondrelle
