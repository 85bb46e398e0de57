#pragma once
// READ DISC INFORMATION and READ TRACK INFORMATION.

#include <cstdint>
#include <span>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

enum class DiscStatus : std::uint8_t { Blank = 0, Appendable = 1, Complete = 2, Other = 3 };
enum class SessionState : std::uint8_t { Empty = 0, Incomplete = 1, Reserved = 2, Complete = 3 };

struct DiscInformation {
  DiscStatus discStatus = DiscStatus::Other;
  SessionState lastSessionState = SessionState::Empty;
  bool erasable = false;
  std::uint8_t firstTrack = 0;
  std::uint16_t sessions = 0;
  std::uint16_t firstTrackInLastSession = 0;
  std::uint16_t lastTrackInLastSession = 0;
  bool discIdValid = false;
  bool barCodeValid = false;
  bool unrestrictedUse = false;
  bool applicationCodeValid = false;
  std::uint8_t backgroundFormatStatus = 0;
  std::uint8_t discType = 0;  ///< 00h CD-DA/CD-ROM, 10h CD-I, 20h CD-ROM XA, FFh undefined
  std::uint32_t discId = 0;
  /// As sent: on CD an MSF in bytes 1-3 (see addressToLba), on DVD an LBA; FFFFFFFFh when not applicable.
  std::uint32_t lastSessionLeadIn = 0;
  std::uint32_t lastPossibleLeadOut = 0;
  std::uint8_t applicationCode = 0;
  std::uint8_t opcTableCount = 0;

  /// Converts one of the two address fields; CD media report them as MSF.
  static std::int32_t addressToLba(std::uint32_t field, bool cdMsf);
};

DiscInformation decodeDiscInformation(std::span<const std::uint8_t> response);
Result<DiscInformation> readDiscInformation(ScsiTransport& transport);

/// Track 0xFF addresses the invisible (incomplete, next writable) track.
inline constexpr std::uint32_t kInvisibleTrack = 0xFF;

struct TrackInformation {
  std::uint16_t trackNumber = 0;
  std::uint16_t sessionNumber = 0;
  bool damage = false;
  bool copy = false;
  std::uint8_t trackMode = 0;  ///< CONTROL nibble for CD tracks
  bool reservedTrack = false;
  bool blank = false;
  bool packet = false;
  bool fixedPacket = false;
  std::uint8_t dataMode = 0;
  bool lastRecordedAddressValid = false;
  bool nextWritableAddressValid = false;
  std::int32_t startAddress = 0;
  std::int32_t nextWritableAddress = 0;  ///< only meaningful when nextWritableAddressValid
  std::uint32_t freeBlocks = 0;
  std::uint32_t fixedPacketSize = 0;
  std::uint32_t trackSize = 0;
  std::int32_t lastRecordedAddress = 0;
};

TrackInformation decodeTrackInformation(std::span<const std::uint8_t> response);

/// READ TRACK INFORMATION by track number (0xFF: the invisible track).
Result<TrackInformation> readTrackInformation(ScsiTransport& transport, std::uint32_t track);

}  // namespace emberline::mmc
