#pragma once
/// @file
/// Where everything of a one-track Video CD 2.0 or Super Video CD 1.0 lies:
/// track 1 (the ISO 9660 file system in Form 1 sectors, with the
/// information files at their fixed sectors) and track 2 (pregap, front
/// margin, one Form 2 sector per MPEG pack, rear margin, postgap), down to
/// the subheader of each kind of sector. The plan is made from the checked
/// stream's facts before anything is written, so the disc's size is exact.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "core/msf.h"
#include "core/result.h"
#include "sector/cd_sector.h"
#include "video/mpeg_stream_check.h"
#include "video/vcd_info_files.h"

namespace emberline::video {

/// A file of the disc's ISO 9660 tree with its place on the disc.
struct VcdFileExtent {
  std::string path;  ///< "VCD/INFO.VCD", "MPEGAV/AVSEQ01.DAT", ...
  std::uint32_t lba = 0;
  std::uint32_t sectors = 0;
  std::uint64_t size = 0;              ///< as the directory records it
  bool form2 = false;                  ///< the MPEG file: Form 2 XA attributes, outside track 1
  std::uint8_t xaFileNumber = 0;       ///< the XA system use field's file number
  std::vector<std::uint8_t> contents;  ///< the information files' bytes; empty for the MPEG file
};

/// The subheaders of the MPEG track's sectors.
struct VcdTrackSubheaders {
  sector::Subheader gap;          ///< pregap and postgap
  sector::Subheader margin;       ///< front and rear margins
  sector::Subheader video;        ///< a pack carrying video
  sector::Subheader audio;        ///< a pack carrying audio only (of the first audio stream)
  sector::Subheader secondAudio;  ///< Super Video CD: a pack of the second audio stream
  sector::Subheader other;        ///< padding and any other pack
};

struct VcdDiscLayout {
  VideoDiscKind kind = VideoDiscKind::VideoCd;

  // Track 1, from LBA 0.
  std::uint32_t trackOneSectors = 0;  ///< a multiple of 75, at least 300
  /// First sector after the ISO structures' area (volume descriptors, path
  /// tables, directories): the builder must fit them below it.
  std::uint32_t isoStructuresEnd = 75;
  std::vector<VcdFileExtent> files;  ///< information files first, the MPEG file last
  /// The folders of track 1 besides those of the files (from the template).
  std::vector<std::string> folders;

  // Track 2.
  std::uint32_t pregapLba = 0;
  std::uint32_t pregapSectors = 150;
  std::uint32_t trackTwoLba = 0;  ///< index 1: the first front margin sector
  std::uint32_t frontMarginSectors = 0;
  std::uint32_t packCount = 0;
  std::uint32_t rearMarginSectors = 0;
  std::uint32_t postgapSectors = 150;
  std::uint32_t leadOutLba = 0;  ///< the disc's length in sectors from LBA 0
  VcdTrackSubheaders subheaders;

  std::vector<VcdEntryPoint> entries;
  std::vector<Msf> scanPoints;  ///< Super Video CD: one per half second
  /// The audio stream ids in the order the stream carries them: a pack of
  /// the second is a sector of the second audio channel.
  std::vector<std::uint8_t> audioStreams;
  /// When the file system of track 1 was made (0: when it is built). Set once,
  /// so that the same layout builds the same sectors again for a read-back.
  std::time_t created = 0;

  std::uint32_t firstPackLba() const { return trackTwoLba + frontMarginSectors; }
  /// Sectors of track 2 from its pregap to its postgap.
  std::uint32_t trackTwoSectors() const {
    return pregapSectors + frontMarginSectors + packCount + rearMarginSectors + postgapSectors;
  }
  const VcdFileExtent& mpegFile() const { return files.back(); }
};

/// Plans the disc for a stream that passed the check for its kind. Fails when
/// the album id cannot be recorded or the stream has no entry point.
/// @p volumeCount and @p volumeNumber place the disc within its album.
Result<VcdDiscLayout> planVcdDisc(const MpegStreamFacts& facts, const std::string& albumId,
                                  std::uint16_t volumeCount = 1, std::uint16_t volumeNumber = 1);

}  // namespace emberline::video
