#pragma once
// The fixed-size records the flat API hands out for disc, track and TOC
// information, and the volume label read from an ISO 9660 descriptor.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "core/result.h"
#include "emberline/cdvd_writer.h"
#include "mmc/disc_information.h"

namespace emberline {

using DiscInformationRecord = std::array<std::uint8_t, EMBERLINE_DISC_INFORMATION_SIZE>;
using TrackInformationRecord = std::array<std::uint8_t, EMBERLINE_TRACK_INFORMATION_SIZE>;
using TocBlock = std::array<std::uint8_t, EMBERLINE_TOC_INFORMATION_SIZE>;

/// Bytes of a TOC block that hold the drive's response; the rest is the valid-length field.
inline constexpr std::size_t kTocResponseCapacity = EMBERLINE_TOC_INFORMATION_SIZE - 2;

/// The 33-byte disc information record. @p cdMedium: the drive reports the
/// lead-in and lead-out fields as MSF, which the record turns into LBAs.
DiscInformationRecord encodeDiscInformationRecord(const mmc::DiscInformation& info, bool cdMedium);

/// The 28-byte track information record.
TrackInformationRecord encodeTrackInformationRecord(const mmc::TrackInformation& info);

/// The TOC block for a READ TOC format 0 response; a response larger than the
/// block is refused rather than cut, since a cut TOC would lose the lead-out.
Result<TocBlock> encodeTocBlock(std::span<const std::uint8_t> response);

/// The volume identifier of a primary volume descriptor (one 2048-byte
/// sector), trailing blanks removed; fails when the sector is no PVD.
Result<std::string> volumeLabelFromDescriptor(std::span<const std::uint8_t> sector);

/// The creation time (seconds since 1970, UTC) a primary volume descriptor
/// records; fails when the sector is no PVD or the time is not set (all zeros).
Result<std::int64_t> volumeCreationTimeFromDescriptor(std::span<const std::uint8_t> sector);

}  // namespace emberline
