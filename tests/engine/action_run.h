#pragma once
// Runs one action of the engine on its own, as a burn's worker runs the
// list's items, on a virtual writer the test has started: what it said, and
// the error it ended with.

#include <QString>
#include <algorithm>
#include <vector>

#include "engine/action.h"
#include "engine/action_list.h"
#include "engine/burner.h"
#include "engine/tsb_error.h"

/// Opens the virtual writer `device` for `burner`, as the device page does.
inline void OpenVirtualWriter(ondrelle::TsbBurner& burner, const char* device = "CdRom16") {
  burner.TransportType = ondrelle::TsbTransportType::ttSpti;
  burner.DeviceName = QString::fromLatin1(device);
  burner.OpenDevice();
}

struct ActionRun {
  /// Runs `action` as the list's one item; a TsbError it throws ends up in `error`.
  void Execute(ondrelle::TsbAction& action) {
    list.Burner = &burner;
    ondrelle::TsbActionItem& item = list.Add();
    item.Action = &action;
    action.OnMessage = [this](const void*, const QString& m, ondrelle::TsbLogItemType) { messages.push_back(m); };
    try {
      action.Execute(&item);
    } catch (const ondrelle::TsbError& e) {
      error = e.Message();
    }
  }
  /// How many times the action said `text`.
  int Count(const char* text) const {
    return static_cast<int>(std::count(messages.begin(), messages.end(), QString::fromLatin1(text)));
  }

  ondrelle::TsbBurner burner;
  ondrelle::TsbActionList list;
  std::vector<QString> messages;
  QString error;
};
