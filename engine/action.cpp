#include "engine/action.h"

#include "engine/tsb_error.h"
#include "log/callback_eventer.h"

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

}  // namespace ondrelle
