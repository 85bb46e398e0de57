#pragma once
// The commands of a recording: power calibration, buffer state, writing,
// track reservation, cache flush, closing and blanking.

#include <cstdint>
#include <span>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// SEND OPC INFORMATION with DoOpc: the drive calibrates its laser power itself.
Status sendOpcInformation(ScsiTransport& transport);

struct BufferCapacity {
  std::uint32_t bufferLength = 0;  ///< bytes
  std::uint32_t blankLength = 0;   ///< bytes free
};

Result<BufferCapacity> readBufferCapacity(ScsiTransport& transport);

/// WRITE(10) of @p blocks blocks from @p data starting at @p lba (negative on
/// CD for the pregap of session-at-once recordings).
Status write10(ScsiTransport& transport, std::int32_t lba, std::uint16_t blocks, std::span<const std::uint8_t> data);

/// RESERVE TRACK of @p blocks blocks (DVD-R session at once, CD track reservation).
Status reserveTrack(ScsiTransport& transport, std::uint32_t blocks);

/// SYNCHRONIZE CACHE; with @p immediate the drive returns at once and
/// TEST UNIT READY reports "long write in progress" until done.
Status synchronizeCache(ScsiTransport& transport, bool immediate);

/// Close functions of CLOSE TRACK/SESSION.
enum class CloseFunction : std::uint8_t {
  Track = 0x01,
  Session = 0x02,           ///< on CD finalizes or leaves open as page 05h says
  FinalizeDvdPlusR = 0x05,  ///< also the compatible close of DVD+R DL
  FinalizeBdR = 0x06,
};

Status closeTrackSession(ScsiTransport& transport, CloseFunction function, std::uint16_t track, bool immediate);

enum class BlankType : std::uint8_t {
  Full = 0x00,
  Minimal = 0x01,
  Track = 0x02,
  UnreserveTrack = 0x03,
  TrackTail = 0x04,
  UncloseLastSession = 0x05,
  Session = 0x06,
};

/// BLANK; @p address is a track number or an LBA as the type requires.
Status blank(ScsiTransport& transport, BlankType type, std::uint32_t address, bool immediate);

}  // namespace emberline::mmc
