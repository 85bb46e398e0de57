#pragma once
// Mode page 2Ah, the drive's capabilities and mechanical status.

#include <cstdint>
#include <span>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

inline constexpr std::uint8_t kCapabilitiesPageCode = 0x2A;

/// One write speed the drive offers for the inserted medium.
struct WriteSpeedDescriptor {
  std::uint8_t rotationControl = 0;  ///< 0 CLV, 1 CAV
  std::uint16_t speedKBps = 0;       ///< kB/s, 1000 bytes
};

struct Capabilities {
  // Reading (byte 2)
  bool readCdR = false;
  bool readCdRw = false;
  bool readMethod2 = false;
  bool readDvdRom = false;
  bool readDvdR = false;
  bool readDvdRam = false;
  // Writing (byte 3)
  bool writeCdR = false;
  bool writeCdRw = false;
  bool testWrite = false;
  bool writeDvdR = false;
  bool writeDvdRam = false;
  // Byte 4
  bool bufferUnderrunProtection = false;
  bool multiSession = false;
  bool mode2Form2 = false;
  bool mode2Form1 = false;
  bool audioPlay = false;
  // Byte 5
  bool readBarCode = false;
  bool readUpc = false;
  bool readIsrc = false;
  bool c2Pointers = false;
  bool rwDeinterleaved = false;
  bool rwSupported = false;
  bool cddaAccurateStream = false;
  bool cddaRead = false;
  // Byte 6
  std::uint8_t loadingMechanism = 0;
  bool eject = false;
  bool preventJumper = false;
  bool lockState = false;
  bool lock = false;
  // Byte 7
  bool rwInLeadIn = false;
  // Speeds and buffer
  std::uint16_t maximumReadSpeedKBps = 0;
  std::uint16_t currentReadSpeedKBps = 0;
  std::uint16_t maximumWriteSpeedKBps = 0;
  /// Byte 28-29 where the page is long enough, else the older field at 20-21.
  std::uint16_t currentWriteSpeedKBps = 0;
  std::uint16_t bufferSizeKB = 0;
  std::vector<WriteSpeedDescriptor> writeSpeeds;
};

/// Decodes page 2Ah (page code byte first). Fields past the page's end read as zero.
Capabilities decodeCapabilities(std::span<const std::uint8_t> page);

/// MODE SENSE(10) of page 2Ah, decoded.
Result<Capabilities> readCapabilities(ScsiTransport& transport);

}  // namespace emberline::mmc
