#include "engine/action.h"

#include "engine/burner.h"
#include "engine/library_call_failure.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "strings/string_table.h"

namespace ondrelle {

void TsbAction::Execute(TsbActionItem* item) {
  if (item == nullptr) throw TsbError(QStringLiteral("Invalid action"));
  ActionList = &item->Collection();
  CallBackEventer().DoProgress(0);
}

void TsbAction::DoMessage(const QString& message, TsbLogItemType kind) {
  if (OnMessage) OnMessage(this, message, kind);
}

void TsbAction::RelayMessage(const void* /*sender*/, const QString& message, TsbLogItemType kind) {
  DoMessage(message, kind);
}

void TsbAction::DoStep(TsbBurnStep step) {
  if (ActionList != nullptr && ActionList->OnStep) ActionList->OnStep(step);
}

void TsbAction::CloseSession() {
  TsbBurner& burner = *ActionList->Burner;
  CallBackEventer().DoProgress(100);
  burner.LastMessage = LoadStr(15147);
  DoMessage(burner.LastMessage, TsbLogItemType::litInfo);
  Logger().WriteLog(QStringLiteral("CdvdWriter_CloseSession"));
  burner.ExceptionCode = Emberline_CdvdWriter_CloseSession(
      burner.Writer, burner.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &burner.SystemStatus, &burner.FailureInfo);
  // Logged only: the eject that follows still runs.
  if (burner.ExceptionCode != 0) RecordLibraryFailure(burner, "CdvdWriter_CloseSession", TsbFailureEnding::BackslashN);
}

void TsbAction::Eject() {
  TsbBurner& burner = *ActionList->Burner;
  burner.Release();
  Logger().WriteLog(QStringLiteral("CdvdWriter_Eject"));
  burner.ExceptionCode = Emberline_CdvdWriter_Eject(burner.Writer, burner.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                    &burner.SystemStatus, &burner.FailureInfo);
  if (burner.ExceptionCode != 0) {
    DoMessage(RecordLibraryFailure(burner, "CdvdWriter_Eject"), TsbLogItemType::litError);
  } else {
    burner.LastMessage = LoadStr(15157);
    DoMessage(burner.LastMessage, TsbLogItemType::litInfo);
  }
}

}  // namespace ondrelle
