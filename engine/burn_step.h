#pragma once
// The steps a burn job goes through, in this order, and how it ended. A job
// that writes an image file goes from Preparing to Writing and ends there.

#include <QMetaType>

namespace ondrelle {

enum class TsbBurnStep : int {
  Checking,   ///< the drive and the disc in it: ready, write modes, speeds, track and disc
  Preparing,  ///< the image laid out, the laser calibrated
  Writing,    ///< the library records the disc (or copies the image into its file)
  Verifying,  ///< the disc read back and compared with its sources
  Closing,    ///< the session the recording left open is closed
  Ejecting,   ///< the tray is unlocked and opened
};

enum class TsbBurnOutcome : int {
  Succeeded,
  Cancelled,  ///< the user stopped it; not an error
  Failed,
};

}  // namespace ondrelle

Q_DECLARE_METATYPE(ondrelle::TsbBurnStep)
Q_DECLARE_METATYPE(ondrelle::TsbBurnOutcome)
