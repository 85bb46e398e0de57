#include "video/dvd_layout.h"

#include <string>

#include "video/dvd_ifo.h"

namespace emberline::video {

namespace {

std::uint64_t sectorsOf(std::uint64_t bytes) {
  return (bytes + kDvdSectorBytes - 1) / kDvdSectorBytes;
}

std::string stem(const std::string& name) {
  return name.substr(0, name.rfind('.'));
}

/// Whether some IFO, placed from `first`, ends in the error-correction block where its backup starts.
bool backupsShareBlock(const DvdFolder& folder, std::uint64_t first) {
  for (const DvdFile& ifo : folder.files) {
    if (!ifo.informationFile || !ifo.name.ends_with(".IFO")) continue;
    for (const DvdFile& bup : folder.files) {
      if (!bup.informationFile || !bup.name.ends_with(".BUP") || stem(bup.name) != stem(ifo.name)) continue;
      const std::uint64_t ifoLast = first + ifo.sector + sectorsOf(ifo.bytes) - 1;
      const std::uint64_t bupFirst = first + bup.sector;
      if (ifoLast / kDvdEccBlockSectors == bupFirst / kDvdEccBlockSectors) return true;
    }
  }
  return false;
}

}  // namespace

Result<DvdLayoutPlan> planDvdLayout(const DvdFolder& folder, std::uint32_t earliest) {
  if (folder.files.empty()) return fail(ErrorKind::InvalidArgument, "the DVD-Video folder lists no files");
  // Each file must start where the one before it ends or later: the information files give
  // starts, never permission to overlap.
  std::uint64_t end = 0;
  for (const DvdFile& file : folder.files) {
    if (file.sector < end)
      return fail(ErrorKind::InvalidArgument,
                  file.name + " would start at sector " + std::to_string(file.sector) + ", inside the file before it");
    end = file.sector + sectorsOf(file.bytes);
  }
  if (end > folder.sectors)
    return fail(ErrorKind::InvalidArgument, "the DVD-Video files run past the end their information files declare");

  DvdLayoutPlan plan;
  std::uint64_t first = earliest;
  while (first < std::uint64_t{earliest} + kDvdEccBlockSectors && backupsShareBlock(folder, first)) ++first;
  if (first == std::uint64_t{earliest} + kDvdEccBlockSectors) {
    // Moving a backup would move every file after it away from where the information files
    // say it is, and the disc would not play; keep the files where they must be.
    first = earliest;
    plan.backupSharesEccBlock = true;
  }
  if (first + folder.sectors > 0xFFFFFFFFu)
    return fail(ErrorKind::InvalidArgument, "the DVD-Video files would end past the last sector a disc can address");
  plan.firstSector = static_cast<std::uint32_t>(first);
  plan.endSector = static_cast<std::uint32_t>(first + folder.sectors);
  plan.files = folder.files;
  for (DvdFile& file : plan.files) file.sector += plan.firstSector;
  for (std::uint32_t cell : folder.cellStarts) plan.cellStarts.push_back(cell + plan.firstSector);
  return plan;
}

}  // namespace emberline::video
