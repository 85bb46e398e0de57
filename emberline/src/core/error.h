#pragma once
// The library's typed error. Sense key, ASC and ASCQ stay separate fields so
// nothing is lost between the drive and the flat API, which alone turns an
// Error into the exception code / status / text triple.

#include <cstdint>
#include <string>

namespace emberline {

enum class ErrorKind : std::uint8_t {
  InvalidArgument,  ///< a caller passed something unusable
  DeviceOpen,       ///< the device could not be opened (missing, permission, busy)
  Transport,        ///< the command did not reach the drive or no status came back
  CheckCondition,   ///< the drive answered CHECK CONDITION; sense fields are valid
  NotReady,         ///< no medium / unit not ready (a CHECK CONDITION of key 2)
  Cancelled,        ///< the call was cancelled by Emberline_CdvdWriter_Cancel
  NotSupported,     ///< the drive or medium cannot do what was asked
  File,             ///< an image or source file could not be read or written
  Internal,         ///< a broken invariant inside the library
  Mismatch,         ///< the disc read back differs from what was written
};

struct Error {
  ErrorKind kind = ErrorKind::Internal;
  std::string message;        ///< human-readable, English, names what failed and why
  std::uint8_t senseKey = 0;  ///< valid for CheckCondition and NotReady
  std::uint8_t asc = 0;
  std::uint8_t ascq = 0;
  int systemError = 0;      ///< errno for DeviceOpen / Transport / File
  std::uint8_t opcode = 0;  ///< the SCSI command that failed, 0 when no command did

  static Error make(ErrorKind kind, std::string message) {
    Error e;
    e.kind = kind;
    e.message = std::move(message);
    return e;
  }
  static Error fromErrno(ErrorKind kind, std::string message, int err) {
    Error e = make(kind, std::move(message));
    e.systemError = err;
    return e;
  }
  static Error fromSense(std::uint8_t key, std::uint8_t asc, std::uint8_t ascq, std::string message) {
    Error e = make(key == 0x02 ? ErrorKind::NotReady : ErrorKind::CheckCondition, std::move(message));
    e.senseKey = key;
    e.asc = asc;
    e.ascq = ascq;
    return e;
  }
};

}  // namespace emberline
