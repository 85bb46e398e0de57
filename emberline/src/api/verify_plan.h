#pragma once
// What a device object keeps of its last recording so that it can be read
// back: how to open each track's source again and where the track lies. No
// block of the recording is kept.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "emberline/emberline.h"
#include "verify/disc_verifier.h"
#include "video/vcd_disc_layout.h"
#include "write/disc_plan.h"

namespace emberline {

struct TrackRecipe {
  /// Opens the track's source again, from its first block, with the owners of its sectors.
  std::function<Result<verify::VerifyTrack>()> open;
  /// Where the track's first block lies; unset until the recording placed it.
  std::optional<std::int32_t> startLba;
};

struct WriteRecipe {
  std::vector<TrackRecipe> tracks;
};

/// The recipe of a track of the built image of @p tree.
TrackRecipe treeTrackRecipe(EmberlineHandle tree, const write::PlannedTrack& planned);
/// The recipe of a track read from the image file @p path of @p blockSize-byte blocks.
TrackRecipe fileTrackRecipe(const std::string& path, std::size_t blockSize);
/// The recipes of both tracks of a Video CD or Super Video CD planned as @p layout from @p mpegPath.
std::vector<TrackRecipe> videoDiscRecipes(const video::VcdDiscLayout& layout, const std::string& mpegPath);

/// Opens every track of @p recipe again, in order.
Result<std::vector<verify::VerifyTrack>> openRecipe(const WriteRecipe& recipe);

}  // namespace emberline
