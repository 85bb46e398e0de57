// Placing a folder on the disc, checked against what genisoimage chooses for the same folder.

#include <map>
#include <regex>
#include <sstream>

#include "dvd_test_support.h"
#include "video/dvd_layout.h"

namespace dvd_test {
namespace {

using emberline::video::checkDvdFolder;
using emberline::video::DvdFile;
using emberline::video::DvdFolder;
using emberline::video::planDvdLayout;

TEST(DvdLayout, MatchesGenisoimageRelativeToVideoTsIfo) {
  if (!haveFixtures()) GTEST_SKIP() << "no DVD fixtures (dvdauthor or ffmpeg missing)";
  if (!haveTool("genisoimage") || !haveTool("isoinfo")) GTEST_SKIP() << "genisoimage or isoinfo missing";
  TempFolder temp;
  for (const char* name : {"one-title", "two-titlesets"}) {
    const fs::path iso = temp.path() / (std::string(name) + ".iso");
    run("genisoimage -quiet -dvd-video -udf -o '" + iso.string() + "' '" + (fixtures() / name).string() + "'");
    const auto theirs = isoSectors(iso);
    ASSERT_TRUE(theirs.contains("VIDEO_TS.IFO")) << name;

    auto folder = checkDvdFolder((fixtures() / name).string());
    ASSERT_TRUE(folder.ok()) << folder.error().message;
    auto plan = planDvdLayout(*folder, 300);
    ASSERT_TRUE(plan.ok()) << plan.error().message;
    EXPECT_FALSE(plan->backupSharesEccBlock);
    ASSERT_EQ(plan->files.size(), theirs.size()) << name;
    ASSERT_FALSE(plan->cellStarts.empty());
    // Cells lie in the title VOBs: the first one of the first set starts its first VOB.
    for (const DvdFile& file : plan->files) {
      if (file.name == "VTS_01_1.VOB") {
        EXPECT_EQ(plan->cellStarts.front(), file.sector);
      }
    }
    for (const DvdFile& file : plan->files) {
      ASSERT_TRUE(theirs.contains(file.name)) << file.name;
      EXPECT_EQ(file.sector - plan->firstSector, theirs.at(file.name) - theirs.at("VIDEO_TS.IFO"))
          << name << " " << file.name;
    }
  }
}

/// A folder of `ifoSectors`-sector IFOs whose backups follow them at once, as tightly as allowed.
DvdFolder tightFolder(std::uint32_t ifoSectors) {
  DvdFolder folder;
  const std::uint64_t ifoBytes = ifoSectors * 2048ull;
  folder.files = {DvdFile{"VIDEO_TS.IFO", "", ifoBytes, 0, true},
                  DvdFile{"VIDEO_TS.BUP", "", ifoBytes, ifoSectors, true},
                  DvdFile{"VTS_01_0.IFO", "", ifoBytes, 2 * ifoSectors, true},
                  DvdFile{"VTS_01_1.VOB", "", 100 * 2048, 3 * ifoSectors, false},
                  DvdFile{"VTS_01_0.BUP", "", ifoBytes, 3 * ifoSectors + 100, true}};
  folder.sectors = 4 * ifoSectors + 100;
  return folder;
}

TEST(DvdLayout, MovesTheStartToKeepBackupsOutOfTheirIfosBlock) {
  // VIDEO_TS.IFO at 300 would put it (300-301) and its backup (302-303) in block 18; the first
  // start that separates them is 302, where the IFO ends block 18 and the backup starts block 19.
  auto plan = planDvdLayout(tightFolder(2), 300);
  ASSERT_TRUE(plan.ok()) << plan.error().message;
  EXPECT_FALSE(plan->backupSharesEccBlock);
  EXPECT_EQ(plan->firstSector, 302u);
  EXPECT_EQ(plan->files[1].sector, 304u);
  EXPECT_EQ(plan->endSector, 302u + 108u);
  for (std::size_t i = 0; i < plan->files.size(); ++i)
    EXPECT_EQ(plan->files[i].sector - plan->firstSector, tightFolder(2).files[i].sector) << i;

  // Already apart at the start given: nothing moves.
  plan = planDvdLayout(tightFolder(2), 302);
  ASSERT_TRUE(plan.ok());
  EXPECT_EQ(plan->firstSector, 302u);
}

TEST(DvdLayout, KeepsTheInformationFilesLayoutWhenNoStartSeparatesThePairs) {
  // One-sector IFOs right before their backups: the first pair needs a start of 15 modulo 16,
  // the second one of 0.
  DvdFolder folder = tightFolder(1);
  folder.files[2].sector = 9;
  folder.files[3].sector = 10;
  folder.files[4].sector = 110;
  folder.sectors = 111;
  folder.files.push_back(DvdFile{"VTS_02_0.IFO", "", 2048, 111, true});
  folder.files.push_back(DvdFile{"VTS_02_0.BUP", "", 2048, 112, true});
  folder.sectors = 113;
  auto plan = planDvdLayout(folder, 0);
  ASSERT_TRUE(plan.ok()) << plan.error().message;
  EXPECT_EQ(plan->firstSector, 0u);
  EXPECT_TRUE(plan->backupSharesEccBlock);
}

TEST(DvdLayout, RefusesFilesThatWouldOverlapOrPassTheEnd) {
  DvdFolder overlap = tightFolder(2);
  overlap.files[3].bytes = 101 * 2048;  // runs into the backup
  auto plan = planDvdLayout(overlap, 0);
  ASSERT_FALSE(plan.ok());
  EXPECT_NE(plan.error().message.find("VTS_01_0.BUP would start at sector 106, inside the file before it"),
            std::string::npos)
      << plan.error().message;

  DvdFolder late = tightFolder(2);
  late.sectors = 100;
  EXPECT_FALSE(planDvdLayout(late, 0).ok());
  EXPECT_FALSE(planDvdLayout(tightFolder(2), 0xFFFFFFF0u).ok());
  EXPECT_FALSE(planDvdLayout(DvdFolder{}, 0).ok());
}

}  // namespace
}  // namespace dvd_test
