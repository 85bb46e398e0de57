#pragma once
// The video burn worker: one library call makes the whole disc, a Video CD
// or a Super Video CD from an MPEG file, or a DVD-Video disc from a
// VIDEO_TS folder (a DVD-Video structure first, then its file tree burned
// track-at-once), then read back and compared when the session asks for it.

#include "engine/custom_thread.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

class TsbVideoBurnThread : public TsbCustomThread {
 public:
  /// Created idle; the options are copied in.
  TsbVideoBurnThread(TsbBurner& burner, const TsbVideoBurnOptions& options);

  const TsbVideoBurnOptions Options;

 protected:
  void Execute() override;

 private:
  void BurnVideoCD(TsbBurner& b, bool super);
  void BurnDVDVideo(TsbBurner& b);
  void Fail(TsbBurner& b, const char* function);
  /// Reads the disc just written back, when the session asks for it.
  void Verify(TsbBurner& b);
};

/// The text a video kind outside 0 to 2 is refused with.
QString UnknownVideoKindText(std::uint8_t kind);

}  // namespace ondrelle
