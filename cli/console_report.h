#pragma once
// How a long job reports on the terminal: every message as a line, and the
// write progress as a bar that redraws in place on a terminal (plain lines
// otherwise). Messages and progress may come from the burn thread.

#include <QString>
#include <mutex>

#include "log/log_item_type.h"

namespace ondrelle::cli {

class ConsoleReport {
 public:
  ConsoleReport();
  ~ConsoleReport();
  ConsoleReport(const ConsoleReport&) = delete;
  ConsoleReport& operator=(const ConsoleReport&) = delete;

  void Message(const QString& text, TsbLogItemType kind);
  void Progress(int percent);
  void BufferFill(int percent);
  /// Ends the bar's line, if one is drawn.
  void Finish();

  TsbMessageEvent MessageHandler() {
    return [this](const void*, const QString& text, TsbLogItemType kind) { Message(text, kind); };
  }

 private:
  void DrawBar();

  std::mutex mutex_;
  bool terminal_;
  bool barShown_ = false;
  int percent_ = -1;
  int buffer_ = -1;
};

}  // namespace ondrelle::cli
