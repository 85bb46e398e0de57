#pragma once
// What the video action burns: the disc kind and its source, filled by the
// disc type and source pages. Copied whole wherever it is passed.

#include <QString>
#include <cstdint>

namespace ondrelle {

/// Disc kinds, in the order the disc type page lists them.
enum TsbVideoKind : std::uint8_t {
  vkVideoCD = 0,
  vkSuperVideoCD = 1,
  vkDVDVideo = 2,
};

struct TsbVideoBurnOptions {
  bool IsDVD = false;          ///< true for DVD-Video
  std::uint8_t VideoKind = 0;  ///< a TsbVideoKind; other values are refused by the burn
  QString SourceFile;          ///< the MPEG file (Video CD, Super Video CD)
  QString SourceFolder;        ///< the VIDEO_TS folder (DVD-Video)
  QString VolumeLabel;         ///< "Video" as the disc type page sets it
  QString PublisherName;       ///< "Emberline" as the disc type page sets it
};

}  // namespace ondrelle
