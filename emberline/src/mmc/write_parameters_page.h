#pragma once
// Mode page 05h, the write parameters: how the next WRITE commands record.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

inline constexpr std::uint8_t kWriteParametersPageCode = 0x05;

enum class WriteType : std::uint8_t { Packet = 0, TrackAtOnce = 1, SessionAtOnce = 2, Raw = 3, LayerJump = 4 };

enum class MultiSession : std::uint8_t {
  NoNextSession = 0,  ///< the disc is closed after this session
  Reserved = 1,
  FinalSession = 2,  ///< 01b/10b: B0 pointer FFh, no more sessions
  NextSessionAllowed = 3,
};

/// Data block types (byte 4) the writers of this library use.
namespace data_block {
inline constexpr std::uint8_t kRaw2352 = 0;
inline constexpr std::uint8_t kRawPqSubchannel = 1;
inline constexpr std::uint8_t kRawPwPacked = 2;
inline constexpr std::uint8_t kRawPwRaw = 3;
inline constexpr std::uint8_t kMode1 = 8;
inline constexpr std::uint8_t kMode2 = 9;
inline constexpr std::uint8_t kMode2Form1 = 10;
inline constexpr std::uint8_t kMode2Form1Subheader = 11;
inline constexpr std::uint8_t kMode2Form2 = 12;
inline constexpr std::uint8_t kMode2Mixed = 13;
}  // namespace data_block

struct WriteParameters {
  bool parametersSavable = false;   ///< PS as reported; never sent back set
  std::uint8_t pageLength = 0x32;   ///< 32h or 36h: kept as the drive reported it
  bool bufferUnderrunFree = false;  ///< BUFE
  bool linkSizeValid = false;
  bool testWrite = false;
  WriteType writeType = WriteType::TrackAtOnce;
  MultiSession multiSession = MultiSession::NoNextSession;
  bool fixedPacket = false;
  bool copy = false;
  std::uint8_t trackMode = 4;
  std::uint8_t dataBlockType = data_block::kMode1;
  std::uint8_t linkSize = 0;
  std::uint8_t hostApplicationCode = 0;
  std::uint8_t sessionFormat = 0;  ///< 00h CD-DA/CD-ROM, 10h CD-I, 20h CD-ROM XA
  std::uint32_t packetSize = 0;
  std::uint16_t audioPauseLength = 150;
  std::array<std::uint8_t, 16> mediaCatalogNumber{};
  std::array<std::uint8_t, 16> isrc{};
  std::array<std::uint8_t, 4> subheader{};
  std::vector<std::uint8_t> vendorSpecific;  ///< bytes past 52, as many as the page length says
};

/// Decodes page 05h (page code byte first).
Result<WriteParameters> decodeWriteParameters(std::span<const std::uint8_t> page);

/// Encodes the page, PS cleared, in the length @p parameters.pageLength asks for.
std::vector<std::uint8_t> encodeWriteParameters(const WriteParameters& parameters);

/// MODE SENSE(10) of page 05h, decoded.
Result<WriteParameters> readWriteParameters(ScsiTransport& transport);

/// MODE SELECT(10) of page 05h.
Status writeWriteParameters(ScsiTransport& transport, const WriteParameters& parameters);

}  // namespace emberline::mmc
