#pragma once
// The base of the burning actions: before the burn itself it prepares the
// device in a fixed sequence of stages, each switched on by one bit.

#include <QString>
#include <cstdint>
#include <functional>

#include "engine/action.h"
#include "engine/session_closing.h"

namespace ondrelle {

class TsbBurner;

enum TsbBurnStage : std::uint8_t {
  bsCacheInfo = 0,
  bsTestUnitReady = 1,
  bsProbeWriteModes = 2,
  bsGetBUP = 3,
  bsSetBUP = 4,
  bsSetSpeeds = 5,
  bsGetSpeeds = 6,
  bsTrackInfo = 7,
  bsDiscInfo = 8,
  bsBuildImage = 9,
  bsSendOPC = 10,
};

class TsbStagedAction : public TsbAction {
 public:
  /// Every stage but building the image.
  static constexpr std::uint16_t kDefaultStages = 0x05FF;
  static constexpr std::uint16_t kAllStages = 0x07FF;

  TsbStagedAction() = default;
  /// Runs the stages in order. Throws TsbError when a stopping stage fails;
  /// its text is also the session's LastMessage. A cancel, before a stage or
  /// during its call, throws TsbRunCancelled: no later stage runs.
  void Execute(TsbActionItem* item) override;

  bool HasStage(TsbBurnStage stage) const { return (Stages & (1u << stage)) != 0; }

  std::uint16_t Stages = kDefaultStages;

 protected:
  TsbBurner& Burner() const { return *ActionList->Burner; }
  /// Execute, for the burning actions: a cancel before a block was written
  /// is said and answers false (the disc is as it was); a stopping stage's
  /// failure is thrown as Execute throws it.
  bool RunStages(TsbActionItem* item);
  /// The write step and its read-back, with Cancel offered throughout:
  /// `write` answers whether the library recorded the disc, and a recorded
  /// disc goes through VerifyStep. Answers what `write` answered.
  bool WriteAndVerify(const std::function<bool()>& write);
  /// The verify step: reads the disc back when the session asks for it.
  void VerifyStep();
  /// The steps after the write and its verify: a failed write is raised (the
  /// library has closed what it opened); otherwise the session is closed when
  /// the recording left it open, the disc ejected, a failed verify raised
  /// and the end of the burn said.
  void FinishBurn(TsbRecording recording, bool recorded);

 private:
  void Announce(const QString& text);
  void Report(const QString& text);
  [[noreturn]] void Stop(const char* function);
  /// Stop, but a drive that is not ready or has no disc is said in words.
  [[noreturn]] void StopNotReady(const char* function);
  void Warn(const char* function);
  /// Makes one stage's library call unless the run was cancelled.
  void Call(const std::function<void()>& call);
};

}  // namespace ondrelle
