#pragma once
// Whether the open writer can take a burn at all: it is ready, holds a disc
// that is not closed, and can simulate when a test burn is asked for. Every
// burn kind asks these first, so a refusal names its cause in words instead
// of surfacing later as a space or command failure.

#include <QString>
#include <cstdint>

#include "emberline/disc_type.h"

namespace ondrelle {

class TsbBurner;

/// The user's words for the failure of a readiness question the session
/// holds (exception code and status): no disc, or a drive that is not
/// ready. Empty when the failure has another cause.
QString NotReadyText(const TsbBurner& burner);

/// Whether a disc of `type` whose disc information record gives
/// `discStatus` (byte 1) is closed: written once, front to back, and
/// finalized. Overwritable media report their formatted state the same way
/// and are not closed.
bool IsClosedDisc(DISC_TYPE type, std::uint8_t discStatus);
/// The refusal of a closed disc.
QString ClosedDiscText();

/// Asks the writer whether it is ready (the library waits while the drive
/// becomes ready; a cancel ends the wait), reads the disc type into the
/// session, and refuses (TsbError, text also in LastMessage) a drive that is
/// not ready, no disc, a closed disc, and a test burn the drive or disc
/// cannot simulate. A cancel raises TsbRunCancelled.
void CheckWriterCanBurn(TsbBurner& burner);

}  // namespace ondrelle
