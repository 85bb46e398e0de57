#pragma once
/**
 * @file
 * The volume structures of a UDF 1.02 volume outside its partition: the
 * recognition sequence, the anchor, the volume descriptor sequence and the
 * integrity sequence.
 */

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "image/volume_descriptor.h"

namespace emberline::image::udf {

/// What the volume descriptors record; addresses are absolute blocks.
struct VolumeFacts {
  std::string volumeId;
  std::string publisher;
  std::string applicationId;
  std::time_t created = 0;
  std::uint32_t partitionStart = 0;
  std::uint32_t partitionBlocks = 0;
  std::uint32_t integrityBlock = 0;  ///< the integrity descriptor, followed by a terminator
  std::uint32_t fileSetBlock = 0;    ///< partition-relative
};

/// What the integrity descriptor counts.
struct VolumeCounts {
  std::uint32_t files = 0;
  std::uint32_t directories = 0;
  std::uint64_t nextUniqueId = 0;
};

/// BEA01, NSR02, TEA01, one per block, to follow the ISO 9660 set terminator.
std::vector<Sector> recognitionSequence();
/// The anchor pointing at the main and reserve volume descriptor sequences of `vdsBlocks` blocks each.
Sector anchorPointer(std::uint32_t location, std::uint32_t mainVds, std::uint32_t reserveVds, std::uint32_t vdsBlocks);
/// One copy of the volume descriptor sequence recorded from `location`, padded to `blocks` blocks.
std::vector<Sector> volumeDescriptorSequence(const VolumeFacts& facts, std::uint32_t location, std::uint32_t blocks);
/// The closed integrity descriptor and its terminator, from `facts.integrityBlock`.
std::vector<Sector> integritySequence(const VolumeFacts& facts, const VolumeCounts& counts);

}  // namespace emberline::image::udf
