#pragma once
/**
 * @file
 * A checked DVD-Video folder laid out as a UDF 1.02 + ISO 9660 bridge image:
 * one layout, two directory structures that point at the same file extents.
 * Every file lies in one piece at the sector its information files give,
 * counted from VIDEO_TS.IFO, which starts at the first sector after both
 * file systems' structures that keeps each IFO and its backup in different
 * error-correction blocks. The image streams block by block from the folder.
 */

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "core/result.h"
#include "image/file_tree.h"
#include "image/image_stream.h"
#include "video/dvd_folder.h"
#include "video/dvd_layout.h"

namespace emberline::video {

/// What both file systems record about the volume.
struct DvdVolumeText {
  std::string volumeLabel;
  std::string publisher;
  std::string application;
  std::time_t created = 0;  ///< the volume's creation time, also given to every folder and file
};

struct DvdBridgeImage {
  std::unique_ptr<image::ImageStream> image;
  /// Where each file went, in blocks from the image's first; `cellStarts` are the blocks where a
  /// title's cell starts, the only places a second layer may begin.
  DvdLayoutPlan plan;
};

/// Puts `folder`'s files into `tree` (which must be empty) as /VIDEO_TS, with an empty /AUDIO_TS
/// beside it when `audioTs` is set, and lays the image out. Fails, changing nothing on disk, when a
/// file has changed size since the folder was checked or the files cannot go where the IFOs say.
Result<DvdBridgeImage> buildDvdBridgeImage(const DvdFolder& folder, bool audioTs, const DvdVolumeText& text,
                                           image::FileTree& tree);

}  // namespace emberline::video
