#pragma once
/**
 * @file
 * Checks a DVD-Video folder before anything is written and lists its files in
 * disc order with the sector, counted from the start of VIDEO_TS.IFO, at which
 * the information files say each one starts.
 */

#include <cstdint>
#include <string>
#include <vector>

#include "core/result.h"

namespace emberline::video {

/// The largest VOB file a DVD-Video folder may hold.
inline constexpr std::uint64_t kMaxVobBytes = std::uint64_t{1} << 30;

struct DvdFile {
  std::string name;    ///< as written to the disc, upper case ("VTS_01_1.VOB")
  std::string source;  ///< the file in the folder, whatever its case
  std::uint64_t bytes = 0;
  std::uint32_t sector = 0;      ///< where it starts, in sectors from the start of VIDEO_TS.IFO
  bool informationFile = false;  ///< an IFO or its BUP
};

struct DvdFolder {
  std::string videoTs;               ///< the VIDEO_TS folder that was checked
  std::vector<DvdFile> files;        ///< VIDEO_TS.IFO, .VOB, .BUP, then per title set IFO, menu VOB, title VOBs, BUP
  std::uint32_t sectors = 0;         ///< from the start of VIDEO_TS.IFO to the end of the last title set
  std::uint64_t bytes = 0;           ///< the files' sizes added up
  std::vector<std::string> leftOut;  ///< files of the folder that belong to no set, which are not written
  std::vector<std::uint32_t> cellStarts;  ///< first sectors of the title cells, from the start of VIDEO_TS.IFO
};

/// Checks `path`, the VIDEO_TS folder or the folder that holds it. Reads only; the folder is never changed.
Result<DvdFolder> checkDvdFolder(const std::string& path);

}  // namespace emberline::video
