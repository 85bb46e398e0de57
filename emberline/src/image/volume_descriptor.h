#pragma once
/// @file The primary and Joliet supplementary volume descriptors and the set terminator.

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "image/directory_record.h"

namespace emberline::image {

using Sector = std::array<std::uint8_t, 2048>;

/// What a volume descriptor records, text already in the hierarchy's characters.
struct VolumeFields {
  bool joliet = false;
  std::string systemId;  ///< a-characters, or UCS-2 big-endian bytes
  std::string volumeId;  ///< d-characters, or UCS-2 big-endian bytes
  std::string applicationId;
  std::string preparerId;
  std::string publisherId;
  std::uint32_t volumeBlocks = 0;  ///< up to the image's last block, counted from block 0 of the medium
  std::uint32_t pathTableBytes = 0;
  std::uint32_t lPathTable = 0;
  std::uint32_t mPathTable = 0;
  RecordFields root;
  std::time_t created = 0;
  /// Marks the volume as CD-ROM XA ("CD-XA001" in the application use field),
  /// so readers look for XA attributes in the records' system use.
  bool xa = false;
};

Sector volumeDescriptor(const VolumeFields& fields);
Sector terminatorDescriptor();
/// "CD001" header of a descriptor of `type`.
void writeDescriptorHeader(Sector& sector, std::uint8_t type);

}  // namespace emberline::image
