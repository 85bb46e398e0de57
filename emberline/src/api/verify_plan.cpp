#include "api/verify_plan.h"

#include <algorithm>
#include <memory>

#include "api/tree_block_source.h"
#include "video/vcd_disc_plan.h"

namespace emberline {

TrackRecipe treeTrackRecipe(EmberlineHandle tree, const write::PlannedTrack& planned) {
  TrackRecipe recipe;
  recipe.open = [tree] { return treeVerifyTrack(tree); };
  recipe.startLba = planned.requiredStart;
  return recipe;
}

TrackRecipe fileTrackRecipe(const std::string& path, std::size_t blockSize) {
  TrackRecipe recipe;
  recipe.open = [path, blockSize]() -> Result<verify::VerifyTrack> {
    auto source = write::openImageFile(path, blockSize);
    if (!source.ok()) return fail(std::move(source).error());
    verify::VerifyTrack track;
    track.source = std::move(*source);
    track.owner = [path, blockSize](std::uint32_t block) {
      return std::optional<verify::SectorOwner>(
          verify::SectorOwner{path, std::uint64_t{block} * blockSize, static_cast<std::uint32_t>(blockSize)});
    };
    return track;
  };
  return recipe;
}

namespace {

/// The file of a Video CD's ISO 9660 tree that holds @p lba, if one does.
std::optional<verify::SectorOwner> videoDiscOwner(const std::vector<video::VcdFileExtent>& files, std::uint32_t lba) {
  for (const video::VcdFileExtent& file : files) {
    if (lba < file.lba || lba >= file.lba + file.sectors) continue;
    const std::uint32_t perSector = file.form2 ? sector::kForm2DataSize : sector::kUserDataSize;
    return verify::SectorOwner{"/" + file.path, std::uint64_t{lba - file.lba} * perSector, perSector};
  }
  return std::nullopt;
}

}  // namespace

std::vector<TrackRecipe> videoDiscRecipes(const video::VcdDiscLayout& layout, const std::string& mpegPath) {
  // Both tracks come from one plan: it is made once for track 1 and once for track 2.
  auto openTrack = [layout, mpegPath](std::size_t index) -> Result<verify::VerifyTrack> {
    auto plan = video::vcdDiscPlan(layout, mpegPath);
    if (!plan) return fail(std::move(plan).error());
    write::PlannedTrack& planned = plan->tracks[index];
    const std::uint32_t start = index == 0 ? 0 : layout.pregapLba;
    verify::VerifyTrack track;
    track.startLba = static_cast<std::int32_t>(start);
    track.source = std::move(planned.source);
    track.owner = [files = layout.files, start](std::uint32_t block) { return videoDiscOwner(files, start + block); };
    track.unowned = index == 0 ? "the file system's structures" : "the MPEG track's gaps and margins";
    return track;
  };
  std::vector<TrackRecipe> recipes(2);
  recipes[0].open = [openTrack] { return openTrack(0); };
  recipes[0].startLba = 0;
  recipes[1].open = [openTrack] { return openTrack(1); };
  recipes[1].startLba = static_cast<std::int32_t>(layout.pregapLba);
  return recipes;
}

Result<std::vector<verify::VerifyTrack>> openRecipe(const WriteRecipe& recipe) {
  std::vector<verify::VerifyTrack> tracks;
  for (std::size_t k = 0; k < recipe.tracks.size(); ++k) {
    const TrackRecipe& r = recipe.tracks[k];
    if (!r.startLba)
      return fail(ErrorKind::Internal,
                  "where track " + std::to_string(k + 1) + " of the last recording lies is not known");
    auto track = r.open();
    if (!track.ok()) {
      Error e = std::move(track).error();
      e.message = "track " + std::to_string(k + 1) + " cannot be opened again: " + e.message;
      return fail(std::move(e));
    }
    track->startLba = *r.startLba;
    tracks.push_back(std::move(*track));
  }
  return tracks;
}

}  // namespace emberline
