#pragma once
// The diagnostic log file: one time-stamped line before every library call
// and for every failure, written only when the machine-wide switch
// "LogEnabled" is on. The file lies beside the executable and takes its
// base name ("ondrelle-cli" writes "ondrelle-cli.log").

#include <QString>
#include <QTime>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

namespace ondrelle {

struct TsbLoggerSettings {
  bool Enabled = false;
  std::int32_t Level = 0;

  /// Reads "LogEnabled" and "LogLevel"; absent or non-decimal values give 0.
  static TsbLoggerSettings FromSystemSettings();
};

class TsbLogger {
 public:
  using Clock = std::function<QTime()>;

  /// The program's logger: settings from the machine-wide store, the file
  /// beside the executable, the local clock.
  TsbLogger();
  /// A logger with given settings; an empty file name means "beside the executable".
  explicit TsbLogger(TsbLoggerSettings settings, QString fileName = {}, Clock clock = {});

  bool Enabled() const { return settings_.Enabled; }
  std::int32_t Level() const { return settings_.Level; }

  /// Writes "hh:mm:ss.zzz: message" and CR LF. Safe to call from any thread;
  /// a file that cannot be written is reported once on standard error and
  /// never stops the caller.
  void WriteLog(const QString& message);

  /// The log file's name, computed on first use.
  QString GetLogFileName();

  /// Builds the file name beside an executable: its directory, its name
  /// less the extension, ".log".
  static QString LogFileNameFor(const QString& executablePath);

 private:
  void ReportFailureOnce(const QString& reason);

  TsbLoggerSettings settings_;
  QString fileName_;
  Clock clock_;
  std::mutex mutex_;  // one line at a time, whole
  bool failureReported_ = false;
};

/// The process-wide diagnostic logger.
TsbLogger& Logger();

}  // namespace ondrelle
