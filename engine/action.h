#pragma once
// One piece of a burn, run against the burner session of its list.

#include <QString>

#include "engine/action_list.h"
#include "log/log_item_type.h"

namespace ondrelle {

class TsbAction {
 public:
  TsbAction() = default;
  virtual ~TsbAction() = default;
  TsbAction(const TsbAction&) = delete;
  TsbAction& operator=(const TsbAction&) = delete;

  /// Base steps every action runs first: checks the item, takes its list,
  /// reports progress 0. Throws TsbError("Invalid action") for no item.
  virtual void Execute(TsbActionItem* item);
  /// Passes a message to OnMessage with this action as the sender.
  virtual void DoMessage(const QString& message, TsbLogItemType kind);
  /// A message handler that re-issues someone else's message as this action's own.
  virtual void RelayMessage(const void* sender, const QString& message, TsbLogItemType kind);
  /// Tells the list's OnStep that the burn has entered `step`.
  void DoStep(TsbBurnStep step);

  /// Finishing steps of the burning actions: close the session (failures
  /// are logged only) and eject the disc (failures become an error message).
  void CloseSession();
  void Eject();

  TsbMessageEvent OnMessage;
  TsbActionList* ActionList = nullptr;  ///< set by Execute; not owned
  bool Succeeded = true;
};

}  // namespace ondrelle
