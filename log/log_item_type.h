#pragma once

#include <QString>
#include <functional>

namespace ondrelle {

/// Kind of an operation-log line or a message.
enum class TsbLogItemType : int { litInfo = 0, litError = 1, litWarning = 2 };

/// A message event: sender, text, kind. The sender is only an identity.
using TsbMessageEvent = std::function<void(const void* sender, const QString& message, TsbLogItemType kind)>;

}  // namespace ondrelle
