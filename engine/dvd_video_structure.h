#pragma once
// The library's DVD-Video structure of a VIDEO_TS folder: the one way both a
// DVD-Video burn and a DVD-Video image file are made, so that the two carry
// the same bytes. Destroyed with the object.

#include <QString>

#include "emberline/emberline.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

class TsbBurner;

class TsbDvdVideoStructure {
 public:
  TsbDvdVideoStructure() = default;
  ~TsbDvdVideoStructure() { Destroy(); }
  TsbDvdVideoStructure(const TsbDvdVideoStructure&) = delete;
  TsbDvdVideoStructure& operator=(const TsbDvdVideoStructure&) = delete;

  /// Lays out the disc of `options.SourceFolder`, labelled and published as
  /// the options say and dated with the recording moment. False when the
  /// library refuses it, with the session's LastMessage holding the failure
  /// line (logged) and ExceptionCode/SystemStatus as the call left them.
  bool Create(TsbBurner& burner, const TsbVideoBurnOptions& options);
  /// The structure's file tree, ready to be read or burned; null before Create.
  EmberlineHandle Tree() const;
  void Destroy();

 private:
  EmberlineHandle handle_ = nullptr;
};

}  // namespace ondrelle
