#pragma once
// The write step of a data burn: one of the library's track-at-once,
// session-at-once or disc-at-once calls by the session's burning mode, from
// its file tree or from its files. It runs on the burn job's worker and
// returns when the library has written the disc.

#include <QString>
#include <cstdint>
#include <functional>

#include "log/log_item_type.h"

namespace ondrelle {

class TsbBurner;

using TsbStepMessage = std::function<void(const QString&, TsbLogItemType)>;

/// Records the disc in the session's BurnMode. True when the library's call
/// succeeded; otherwise LastMessage holds the failure (not raised) and
/// BurnSucceeded is false. A mode outside the burning modes writes nothing.
bool WriteDataDisc(TsbBurner& burner, const TsbStepMessage& message);

/// Runs `write`, a write step's library work, and answers what it answers.
/// An error it throws (TsbError or another exception) is not raised: its
/// text becomes LastMessage, BurnSucceeded is false and the answer false.
bool WriteCatchingFailure(TsbBurner& burner, const std::function<bool()>& write);

/// The text a burning mode is announced with ("Track-At-Once (from tree)").
QString BurnModeText(std::uint8_t mode);

}  // namespace ondrelle
