// The DVD-Video information files read from their whole contents, as the
// video manager's and as a title set's: a refusal or a layout, never a read
// outside the bytes.

#include <cstdint>
#include <span>

#include "video/dvd_ifo.h"

using namespace emberline::video;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> ifo(data, size);
  (void)readManagerInfo(ifo, "VIDEO_TS.IFO");
  (void)readTitleSetInfo(ifo, "VTS_01_0.IFO");
  return 0;
}
