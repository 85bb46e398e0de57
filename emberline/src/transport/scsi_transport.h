#pragma once
// The transport seam: one SCSI command in, its status and sense out.
// Linux SG_IO and the virtual writer are both transports; everything above
// (mmc/, write/, api/) runs unchanged over either.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"

namespace emberline {

enum class DataDirection : std::uint8_t { None, FromDevice, ToDevice };

struct ScsiCommand {
  std::array<std::uint8_t, 16> cdb{};
  std::uint8_t cdbLength = 0;
  DataDirection direction = DataDirection::None;
  std::span<std::uint8_t> data;  ///< buffer read into (FromDevice) or sent (ToDevice)
  std::chrono::milliseconds timeout{60000};

  std::uint8_t opcode() const { return cdb[0]; }
};

struct SenseData {
  std::uint8_t key = 0;   ///< sense key, low nibble of byte 2 of fixed-format sense
  std::uint8_t asc = 0;   ///< additional sense code
  std::uint8_t ascq = 0;  ///< additional sense code qualifier
};

/// What came back from a command that reached the device.
struct ScsiReply {
  std::uint8_t status = 0;      ///< SCSI status byte: 0x00 GOOD, 0x02 CHECK CONDITION
  SenseData sense;              ///< valid when status == 0x02
  std::size_t transferred = 0;  ///< bytes actually moved (buffer size minus residual)

  bool good() const { return status == 0x00; }
  bool checkCondition() const { return status == 0x02; }
};

class ScsiTransport {
 public:
  virtual ~ScsiTransport() = default;

  /// Runs one command. A failure Result means the command never completed
  /// (transport or host error); a CHECK CONDITION is a successful Result whose
  /// reply carries the sense data.
  virtual Result<ScsiReply> execute(const ScsiCommand& command) = 0;

  /// Called from another thread to make a command in progress end soon
  /// (Emberline_CdvdWriter_Cancel). Transports that cannot interrupt a
  /// command ignore it; callers also check their cancel flag between commands.
  virtual void interrupt() {}
  /// Forgets an interrupt that arrived while no command ran, so a cancel
  /// aimed at an earlier call does not end the next one.
  virtual void clearInterrupt() {}

  /// The path or name the transport talks to, for messages ("/dev/sr0", "virtual CD writer 0").
  virtual std::string describe() const = 0;
};

}  // namespace emberline
