#pragma once
// Which family the inserted medium belongs to decides how several calls talk
// to the drive (speed commands, address forms, how a session is closed).

#include <cstdint>

#include "core/result.h"
#include "transport/scsi_transport.h"

namespace emberline {

enum class MediumFamily : std::uint8_t {
  None,              ///< no medium, or the drive names no profile
  Cd,                ///< CD-ROM, CD-R, CD-RW (and DDCD)
  DvdSequential,     ///< DVD-R, DVD-RW sequential, DVD-R DL: track and session closes
  DvdPlusSequential, ///< DVD+R, DVD+R DL: no write parameters page, closed by CLOSE TRACK/SESSION
  RandomWritable,    ///< DVD+RW, DVD-RW restricted overwrite, DVD-RAM: a cache flush ends a write
  ReadOnly,          ///< DVD-ROM and other pressed media outside the CD family
  Other,
};

MediumFamily familyOfProfile(std::uint16_t profile);

/// The current profile from GET CONFIGURATION; 0 when the drive names none.
Result<std::uint16_t> currentProfile(ScsiTransport& transport);

}  // namespace emberline
