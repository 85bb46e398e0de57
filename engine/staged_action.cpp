#include "engine/staged_action.h"

#include <array>
#include <cstring>

#include "emberline/cdvd_writer.h"
#include "emberline/file_tree.h"
#include "engine/burner.h"
#include "engine/cancel_offered.h"
#include "engine/disc_verify.h"
#include "engine/library_call_failure.h"
#include "engine/run_cancelled.h"
#include "engine/session_image.h"
#include "engine/writer_readiness.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

namespace {

constexpr int kCacheMegabytes = 160;
constexpr std::uint32_t kFastestRead = 0xFFFF;

/// The closing and eject of a written disc, which a cancel does not cut short.
class TsbFinishing {
 public:
  explicit TsbFinishing(TsbBurner& burner) : burner_(burner) { burner_.BeginFinishing(); }
  ~TsbFinishing() { burner_.EndFinishing(); }
  TsbFinishing(const TsbFinishing&) = delete;
  TsbFinishing& operator=(const TsbFinishing&) = delete;

 private:
  TsbBurner& burner_;
};

QString YesNo(bool value) {
  return LoadStr(value ? 15131 : 15132);
}

QString Hex2(std::uint8_t value) {
  return QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

std::uint32_t Little32(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} | (std::uint32_t{bytes[1]} << 8) | (std::uint32_t{bytes[2]} << 16) |
         (std::uint32_t{bytes[3]} << 24);
}

}  // namespace

void TsbStagedAction::Announce(const QString& text) {
  Burner().LastMessage = text;
  if (ActionList->Verbose) DoMessage(text, TsbLogItemType::litInfo);
}

void TsbStagedAction::Report(const QString& text) {
  Burner().LastMessage = text;
  Logger().WriteLog(text);
  if (ActionList->Verbose) DoMessage(text, TsbLogItemType::litInfo);
}

void TsbStagedAction::Stop(const char* function) {
  // A call cut short by a cancel failed because the user asked for it.
  ThrowIfCancelled(Burner());
  RaiseLibraryFailure(Burner(), function);
}

void TsbStagedAction::StopNotReady(const char* function) {
  TsbBurner& b = Burner();
  ThrowIfCancelled(b);
  const QString words = NotReadyText(b);
  if (words.isEmpty()) Stop(function);
  RecordLibraryFailure(b, function);  // the library's line goes to the diagnostic log
  b.LastMessage = words;
  throw TsbError(words);
}

void TsbStagedAction::Warn(const char* function) {
  ThrowIfCancelled(Burner());
  DoMessage(RecordLibraryFailure(Burner(), function), TsbLogItemType::litWarning);
}

void TsbStagedAction::Call(const std::function<void()>& call) {
  ThrowIfCancelled(Burner());
  // The library cuts the call short when the session is cancelled meanwhile.
  call();
}

void TsbStagedAction::Execute(TsbActionItem* item) {
  TsbAction::Execute(item);
  bool bupEnabled = false;
  bool bupSupported = false;
  std::array<std::uint8_t, EMBERLINE_TRACK_INFORMATION_SIZE> track{};
  std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE> disc{};

  DoStep(TsbBurnStep::Checking);
  TsbBurner& b = Burner();
  b.OnMessage = [this](const void* sender, const QString& message, TsbLogItemType kind) {
    RelayMessage(sender, message, kind);
  };
  char* text = b.ExceptionText.data();
  auto* status = &b.SystemStatus;
  auto* failure = &b.FailureInfo;

  if (HasStage(bsCacheInfo)) Announce(FormatStr(15154, {QString::number(kCacheMegabytes)}));

  if (HasStage(bsTestUnitReady)) {
    Announce(LoadStr(15141));
    Logger().WriteLog(QStringLiteral("CdvdWriter_TestUnitReady"));
    Call([&] {
      b.ExceptionCode = Emberline_CdvdWriter_TestUnitReady(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure);
    });
    if (b.ExceptionCode != 0) StopNotReady("CdvdWriter_TestUnitReady");
  }

  if (HasStage(bsProbeWriteModes)) {
    Logger().WriteLog(QStringLiteral("CdvdWriter_ProbeSupportedWriteModes"));
    std::uint8_t m[4] = {};
    Call([&] {
      b.ExceptionCode = Emberline_CdvdWriter_ProbeSupportedWriteModes(b.Writer, text, EMBERLINE_TEXT_SIZE, status,
                                                                      failure, &m[0], &m[1], &m[2], &m[3]);
    });
    if (b.ExceptionCode != 0) Stop("CdvdWriter_ProbeSupportedWriteModes");
    Report(QStringLiteral("Track-At-Once: %1, Session-At-Once: %2, Disc-At-Once PQ: %3, Disc-At-Once raw P-W: %4")
               .arg(YesNo(m[0]), YesNo(m[1]), YesNo(m[2]), YesNo(m[3])));
  }

  if (HasStage(bsGetBUP)) {
    Announce(LoadStr(15153));
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetBUP"));
    std::uint8_t enabled = 0, supported = 0;
    Call([&] {
      b.ExceptionCode =
          Emberline_CdvdWriter_GetBUP(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure, &enabled, &supported);
    });
    if (b.ExceptionCode != 0) Stop("CdvdWriter_GetBUP");
    bupEnabled = enabled != 0;
    bupSupported = supported != 0;
    Report(QStringLiteral("BUP (Buffer Underrun Protection) Enabled: %1, Supported: %2")
               .arg(YesNo(bupEnabled), YesNo(bupSupported)));
  }

  if (HasStage(bsSetBUP) && bupSupported) {
    Announce(LoadStr(15152));
    Logger().WriteLog(QStringLiteral("CdvdWriter_SetBUP"));
    Call([&] {
      b.ExceptionCode = Emberline_CdvdWriter_SetBUP(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure, 1);
    });
    if (b.ExceptionCode != 0) Stop("CdvdWriter_SetBUP");
  }

  if (HasStage(bsSetSpeeds)) {
    Announce(LoadStr(15167));
    Logger().WriteLog(QStringLiteral("CdvdWriter_SetSpeeds"));
    Call([&] {
      b.ExceptionCode = Emberline_CdvdWriter_SetSpeeds(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure,
                                                       kFastestRead, static_cast<std::uint32_t>(b.SpeedInSize));
    });
    if (b.ExceptionCode != 0) Warn("CdvdWriter_SetSpeeds");
  }

  if (HasStage(bsGetSpeeds)) {
    Announce(LoadStr(15151));
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetSpeeds"));
    std::uint32_t currentRead = 0, maximumRead = 0, currentWrite = 0, maximumWrite = 0;
    Call([&] {
      b.ExceptionCode = Emberline_CdvdWriter_GetSpeeds(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure,
                                                       &currentRead, &maximumRead, &currentWrite, &maximumWrite);
    });
    if (b.ExceptionCode != 0) Stop("CdvdWriter_GetSpeeds");
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetSpeeds: CurrentReadSpeed: %1,MaximumReadSpeed: %2,"
                                     "CurrentWriteSpeed: %3,MaximumWriteSpeed: %4")
                          .arg(currentRead)
                          .arg(maximumRead)
                          .arg(currentWrite)
                          .arg(maximumWrite));
    Announce(QStringLiteral("Current read speed %1 KBps (%2 maximum)").arg(currentRead).arg(maximumRead));
    Announce(QStringLiteral("Current write speed %1 KBps (%2 maximum)").arg(currentWrite).arg(maximumWrite));
  }

  if (HasStage(bsTrackInfo)) {
    Announce(LoadStr(15143));
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetTrackInformation: (for TRACK_NUMBER_INVISIBLE)"));
    Call([&] {
      b.ExceptionCode = Emberline_CdvdWriter_GetTrackInformation(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure,
                                                                 EMBERLINE_TRACK_NUMBER_INVISIBLE, track.data());
    });
    if (b.ExceptionCode != 0) Warn("CdvdWriter_GetTrackInformation");
    Report(QStringLiteral("Track Blank: %1, NWA valid: %2, free LBs %3, track \u2116 %4")
               .arg(YesNo(track[9] != 0), YesNo(track[11] != 0))
               .arg(static_cast<std::int32_t>(Little32(&track[20])))
               .arg(track[1]));
  }

  if (HasStage(bsDiscInfo)) {
    Announce(LoadStr(15144));
    Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscInformation"));
    Call([&] {
      b.ExceptionCode =
          Emberline_CdvdWriter_GetDiscInformation(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure, disc.data());
    });
    if (b.ExceptionCode != 0) StopNotReady("CdvdWriter_GetDiscInformation");
    Report(QStringLiteral("Disc erasable: %1, Disc status: 0x%2, Last session status: 0x%3, Disc type: %4")
               .arg(YesNo(disc[3] != 0), Hex2(disc[1]), Hex2(disc[2]))
               .arg(static_cast<int>(b.DiscType)));
    // The burn would only fail on it, and in words less plain than these.
    if (IsClosedDisc(b.DiscType, disc[1])) {
      b.LastMessage = ClosedDiscText();
      Logger().WriteLog(b.LastMessage);
      throw TsbError(b.LastMessage);
    }
  }

  ThrowIfCancelled(b);
  DoStep(TsbBurnStep::Preparing);
  if (HasStage(bsBuildImage) && b.FileTree != nullptr) {
    Announce(LoadStr(15145));
    BuildSessionImage(b, {"ISO9660JolietFileTree_SetBootImage: BootImage: ", Little32(&track[16]), 0},
                      [this](const QString& warning) { DoMessage(warning, TsbLogItemType::litWarning); });
    std::uint32_t high = 0;
    const std::uint32_t low = Emberline_ISO9660JolietFileTree_GetSizeInBytes(b.FileTree, &high);
    const std::uint64_t size = (std::uint64_t{high} << 32) | low;
    b.LastMessage = QStringLiteral("Need to save %1 MB").arg(size / 1024 / 1024);
    Logger().WriteLog(b.LastMessage);
    DoMessage(b.LastMessage, TsbLogItemType::litInfo);
  }

  if (HasStage(bsSendOPC) && b.SendOPC) {
    Announce(LoadStr(15168));
    Logger().WriteLog(QStringLiteral("CdvdWriter_SendOPC"));
    // A failed calibration is not worth stopping for: the drive falls back to its own.
    Call([&] { b.ExceptionCode = Emberline_CdvdWriter_SendOPC(b.Writer, text, EMBERLINE_TEXT_SIZE, status, failure); });
  }
  ThrowIfCancelled(b);
}

bool TsbStagedAction::RunStages(TsbActionItem* item) {
  try {
    TsbStagedAction::Execute(item);
  } catch (const TsbRunCancelled& cancelled) {
    DoMessage(cancelled.Message(), TsbLogItemType::litInfo);
    return false;
  }
  return true;
}

bool TsbStagedAction::WriteAndVerify(const std::function<bool()>& write) {
  TsbCancelOffered cancel;
  DoStep(TsbBurnStep::Writing);
  const bool recorded = write();
  if (recorded) VerifyStep();
  return recorded;
}

void TsbStagedAction::VerifyStep() {
  TsbBurner& b = Burner();
  if (b.VerifyAfterBurn && !b.Cancelled && !b.TestMode) DoStep(TsbBurnStep::Verifying);
  VerifyBurnedDisc(b, [this](const QString& text, TsbLogItemType kind) { DoMessage(text, kind); });
}

void TsbStagedAction::FinishBurn(TsbRecording recording, bool recorded) {
  TsbBurner& b = Burner();
  // A disc that failed its verify is written all the same: it is closed and
  // ejected as any other, and the run fails with the verify's words.
  const QString verifyFailure = b.VerifyFailed ? b.LastMessage : QString();
  if (!b.LastMessage.isEmpty() && !b.VerifyFailed) throw TsbError(b.LastMessage);
  {
    // A cancel now must not leave the disc unclosed or the tray shut.
    TsbFinishing finishing(b);
    if (ProgramClosesSession(b, recording, recorded)) {
      DoStep(TsbBurnStep::Closing);
      CloseSession();
    }
    DoStep(TsbBurnStep::Ejecting);
    Eject();
  }
  if (!verifyFailure.isEmpty()) throw TsbError(verifyFailure);
  DoMessage(b.Cancelled ? LoadStr(15173) : LoadStr(15148), TsbLogItemType::litInfo);
}

}  // namespace ondrelle
