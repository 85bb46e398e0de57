#pragma once
// The one relay between reporters (the library callback, actions, burn
// threads) and whoever wants their news (the wizard, the progress page).
// A fire operation calls its slot's handler at once, on the caller's
// thread; an empty slot swallows the news. Handlers that touch widgets
// must bring the update onto the UI thread themselves.

#include <QString>
#include <cstdint>
#include <functional>

namespace ondrelle {

class TsbCallBackEventer {
 public:
  using NameHandler = std::function<void(TsbCallBackEventer& sender, const QString& name, std::intptr_t param)>;
  using PercentHandler = std::function<void(TsbCallBackEventer& sender, std::int32_t percent)>;
  using EnabledHandler = std::function<void(TsbCallBackEventer& sender, bool enabled)>;
  using NotifyHandler = std::function<void(TsbCallBackEventer& sender)>;
  using WarningHandler = std::function<void(TsbCallBackEventer& sender, const QString& text)>;
  using BytesHandler = std::function<void(TsbCallBackEventer& sender, std::uint64_t total, std::uint64_t done)>;

  NameHandler OnAddName;
  NameHandler OnRemoveName;
  PercentHandler OnProgress;
  PercentHandler OnBufferStatus;
  /// The same progress as OnProgress in bytes: done of total, for the amount
  /// and speed a user wants to see. Reported a few times a second at most.
  BytesHandler OnProgressBytes;
  EnabledHandler OnCancelEnabled;
  NotifyHandler OnImageFileStart;
  /// Something the user should know that does not stop the work (a name
  /// changed on the disc, a label shortened).
  WarningHandler OnWarning;

  void DoAddName(const QString& name, std::intptr_t param) {
    if (OnAddName) OnAddName(*this, name, param);
  }
  void DoRemoveName(const QString& name, std::intptr_t param) {
    if (OnRemoveName) OnRemoveName(*this, name, param);
  }
  void DoProgress(std::int32_t percent) {
    if (OnProgress) OnProgress(*this, percent);
  }
  void DoProgressBytes(std::uint64_t total, std::uint64_t done) {
    if (OnProgressBytes) OnProgressBytes(*this, total, done);
  }
  void DoBufferStatus(std::int32_t percent) {
    if (OnBufferStatus) OnBufferStatus(*this, percent);
  }
  void DoCancelEnabled(bool enabled) {
    if (OnCancelEnabled) OnCancelEnabled(*this, enabled);
  }
  void DoImageFileStart() {
    if (OnImageFileStart) OnImageFileStart(*this);
  }
  void DoWarning(const QString& text) {
    if (OnWarning) OnWarning(*this, text);
  }
};

/// The process-wide eventer.
TsbCallBackEventer& CallBackEventer();

}  // namespace ondrelle
