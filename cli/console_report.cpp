#include "cli/console_report.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "log/callback_eventer.h"

namespace ondrelle::cli {

ConsoleReport::ConsoleReport() : terminal_(::isatty(STDOUT_FILENO) != 0) {
  CallBackEventer().OnProgress = [this](TsbCallBackEventer&, int percent) { Progress(percent); };
  CallBackEventer().OnBufferStatus = [this](TsbCallBackEventer&, int percent) { BufferFill(percent); };
  CallBackEventer().OnWarning = [this](TsbCallBackEventer&, const QString& text) {
    Message(text, TsbLogItemType::litWarning);
  };
}

ConsoleReport::~ConsoleReport() {
  CallBackEventer().OnWarning = nullptr;
  CallBackEventer().OnBufferStatus = nullptr;
  CallBackEventer().OnProgress = nullptr;
  Finish();
}

void ConsoleReport::Message(const QString& text, TsbLogItemType kind) {
  std::lock_guard lock(mutex_);
  if (barShown_) std::fputs("\r\033[K", stdout);
  const char* prefix = kind == TsbLogItemType::litError     ? "error: "
                       : kind == TsbLogItemType::litWarning ? "warning: "
                                                            : "";
  std::printf("%s%s\n", prefix, qPrintable(text));
  if (barShown_) DrawBar();
  std::fflush(stdout);
}

void ConsoleReport::Progress(int percent) {
  std::lock_guard lock(mutex_);
  percent = std::clamp(percent, 0, 100);
  if (percent == percent_) return;
  percent_ = percent;
  if (terminal_) {
    barShown_ = true;
    DrawBar();
  } else {
    std::printf("progress %d %%\n", percent);
  }
  std::fflush(stdout);
}

void ConsoleReport::BufferFill(int percent) {
  std::lock_guard lock(mutex_);
  buffer_ = std::clamp(percent, 0, 100);
  if (terminal_ && barShown_) {
    DrawBar();
    std::fflush(stdout);
  }
}

void ConsoleReport::DrawBar() {
  constexpr int kWidth = 40;
  const int filled = percent_ * kWidth / 100;
  std::printf("\r[%.*s%*s] %3d %%", filled, "########################################", kWidth - filled, "", percent_);
  if (buffer_ >= 0) std::printf("  buffer %3d %%", buffer_);
}

void ConsoleReport::Finish() {
  std::lock_guard lock(mutex_);
  if (!barShown_) return;
  std::fputs("\n", stdout);
  std::fflush(stdout);
  barShown_ = false;
}

}  // namespace ondrelle::cli
