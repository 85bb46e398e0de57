#pragma once
// The verify step of a burn: the disc just written is read back through the
// same writer and compared with its sources, on the burn's worker thread.

#include <QString>
#include <functional>

#include "log/log_item_type.h"

namespace ondrelle {

class TsbBurner;

/// Reads back what the burn on `burner` wrote when VerifyAfterBurn is set,
/// telling each step through `message`. A test burn and a cancelled one are
/// not read. Answers false, with BurnSucceeded cleared, when the verify was
/// cancelled (LastMessage empty) or the disc did not read back as written
/// (VerifyFailed set, LastMessage holding the library's text, which names
/// the sector, the file there and the offset in it).
bool VerifyBurnedDisc(TsbBurner& burner, const std::function<void(const QString&, TsbLogItemType)>& message);

/// The completion's words for a disc that failed its verify.
QString VerifyFailedText();

}  // namespace ondrelle
