#pragma once
// Speed control: SET CD SPEED for CD media, SET STREAMING and GET PERFORMANCE for DVD and later.

#include <cstdint>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// Speed value that asks the drive for its fastest setting.
inline constexpr std::uint16_t kMaximumSpeed = 0xFFFF;

/// SET CD SPEED, speeds in kB/s (1000 bytes).
Status setCdSpeed(ScsiTransport& transport, std::uint16_t readKBps, std::uint16_t writeKBps,
                  std::uint8_t rotationControl = 0);

/// The performance descriptor SET STREAMING sends.
struct StreamingRequest {
  bool restoreDefaults = false;  ///< RDD
  bool exact = false;
  bool randomAccess = false;
  std::uint8_t writeRotationControl = 0;
  std::uint32_t startLba = 0;
  std::uint32_t endLba = 0;
  std::uint32_t readKBps = 0;   ///< sent as read size over a 1000 ms read time
  std::uint32_t writeKBps = 0;  ///< sent as write size over a 1000 ms write time
};

Status setStreaming(ScsiTransport& transport, const StreamingRequest& request);

/// A GET PERFORMANCE type 03h entry: one write speed for the medium.
struct WriteSpeedEntry {
  std::uint8_t writeRotationControl = 0;
  bool restoreDefaults = false;
  bool exact = false;
  bool mixedRw = false;
  std::uint32_t endLba = 0;
  std::uint32_t readKBps = 0;
  std::uint32_t writeKBps = 0;
};

/// A GET PERFORMANCE type 00h nominal entry.
struct PerformanceEntry {
  std::uint32_t startLba = 0;
  std::uint32_t startKBps = 0;
  std::uint32_t endLba = 0;
  std::uint32_t endKBps = 0;
};

/// Type 03h: the write speeds the drive offers for the medium.
Result<std::vector<WriteSpeedEntry>> getWriteSpeeds(ScsiTransport& transport);

/// Type 00h, nominal performance, read (@p write false) or write.
Result<std::vector<PerformanceEntry>> getPerformance(ScsiTransport& transport, bool write);

}  // namespace emberline::mmc
