#pragma once
// The write step of a video burn: one library call makes the whole disc, a
// Video CD or a Super Video CD from an MPEG file, or a DVD-Video disc from a
// VIDEO_TS folder (its DVD-Video structure first, then the structure's file
// tree burned track-at-once). It runs on the burn job's worker.

#include <QString>

#include "engine/disc_write_step.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

class TsbBurner;
class TsbDvdVideoStructure;

/// Records the disc `options` describe. True when the library's call
/// succeeded; otherwise LastMessage holds the failure (not raised) and
/// BurnSucceeded is false. A DVD-Video disc is made from `structure`, which
/// the caller keeps until the disc has been read back.
bool WriteVideoDisc(TsbBurner& burner, const TsbVideoBurnOptions& options, TsbDvdVideoStructure& structure,
                    const TsbStepMessage& message);

/// The text a video kind outside 0 to 2 is refused with.
QString UnknownVideoKindText(std::uint8_t kind);

}  // namespace ondrelle
