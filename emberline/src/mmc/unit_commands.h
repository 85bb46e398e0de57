#pragma once
// Identity, readiness and the tray: INQUIRY, TEST UNIT READY, REQUEST SENSE,
// PREVENT ALLOW MEDIUM REMOVAL and START STOP UNIT.

#include <cstdint>
#include <string>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Standard INQUIRY data.
struct InquiryData {
  std::uint8_t peripheralQualifier = 0;
  std::uint8_t peripheralType = 0;  ///< 05h for CD/DVD
  bool removable = false;
  std::uint8_t version = 0;
  std::string vendor;  ///< trailing blanks removed
  std::string product;
  std::string revision;
};

Result<InquiryData> inquiry(ScsiTransport& transport);

/// What TEST UNIT READY found: ready, or the sense the drive gave for not being ready.
struct UnitReadiness {
  bool ready = false;
  SenseData sense;  ///< zero when ready
};

/// TEST UNIT READY. Not being ready is an answer, not an error: the result
/// fails only when the command could not be run at all.
Result<UnitReadiness> testUnitReady(ScsiTransport& transport);

/// REQUEST SENSE: the drive's current sense (progress indications included).
struct SenseReport {
  SenseData sense;
  bool progressValid = false;
  std::uint16_t progress = 0;  ///< 0..65535 fraction of the operation done, when valid
};

Result<SenseReport> requestSense(ScsiTransport& transport);

/// PREVENT ALLOW MEDIUM REMOVAL: @p prevent true locks the tray.
Status preventMediumRemoval(ScsiTransport& transport, bool prevent);

/// What START STOP UNIT should do.
enum class StartStopAction : std::uint8_t {
  Stop = 0x00,
  Start = 0x01,
  Eject = 0x02,  ///< LoEj with Start clear
  Load = 0x03,   ///< LoEj with Start set
};

Status startStopUnit(ScsiTransport& transport, StartStopAction action, bool immediate = false);

}  // namespace emberline::mmc
