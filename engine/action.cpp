#include "engine/action.h"

#include "devices/library_result.h"
#include "engine/burner.h"
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

void TsbAction::CloseSession() {
  TsbBurner& burner = *ActionList->Burner;
  CallBackEventer().DoProgress(100);
  burner.LastMessage = LoadStr(15147);
  DoMessage(burner.LastMessage, TsbLogItemType::litInfo);
  Logger().WriteLog(QStringLiteral("CdvdWriter_CloseSession"));
  burner.RunLongCall([&burner] {
    burner.ExceptionCode = Emberline_CdvdWriter_CloseSession(
        burner.Writer, burner.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &burner.SystemStatus, &burner.FailureInfo);
  });
  if (burner.ExceptionCode != 0) {
    burner.LastMessage = EmberlineFailureText("CdvdWriter_CloseSession", burner.ExceptionCode, burner.SystemStatus,
                                              burner.ExceptionText.data()) +
                         QStringLiteral("\\n");
    Logger().WriteLog(burner.LastMessage);
  }
}

void TsbAction::Eject() {
  TsbBurner& burner = *ActionList->Burner;
  burner.Release();
  Logger().WriteLog(QStringLiteral("CdvdWriter_Eject"));
  burner.RunLongCall([&burner] {
    burner.ExceptionCode = Emberline_CdvdWriter_Eject(burner.Writer, burner.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                      &burner.SystemStatus, &burner.FailureInfo);
  });
  if (burner.ExceptionCode != 0) {
    burner.LastMessage = EmberlineFailureText("CdvdWriter_Eject", burner.ExceptionCode, burner.SystemStatus,
                                              burner.ExceptionText.data());
    Logger().WriteLog(burner.LastMessage);
    DoMessage(burner.LastMessage, TsbLogItemType::litError);
  } else {
    burner.LastMessage = LoadStr(15157);
    DoMessage(burner.LastMessage, TsbLogItemType::litInfo);
  }
}

}  // namespace ondrelle
