// A Video CD or Super Video CD source checked without a writer: the stream
// check and the disc plan the burn makes, and what they found.

#include <atomic>
#include <cmath>
#include <cstring>
#include <string>

#include "api/call_result.h"
#include "api/export.h"
#include "api/library_state.h"
#include "emberline/video_source.h"
#include "video/mpeg_stream_check.h"
#include "video/vcd_disc_layout.h"

namespace emberline {

namespace {

/// The album id the program records; the plan's length does not depend on it.
constexpr char kPlanAlbumId[] = "Album VideoCD";

EmberlineVideoSourceFacts factsOf(const video::MpegStreamFacts& facts, const video::VcdDiscLayout& layout) {
  EmberlineVideoSourceFacts out{};
  out.systemVersion = facts.system == video::MpegSystem::Mpeg2 ? 2 : 1;
  out.videoVersion = facts.mpeg2Video ? 2 : 1;
  out.audioStreams = static_cast<std::uint8_t>(facts.audioStreams.size());
  out.width = facts.width;
  out.height = facts.height;
  out.frameRateNumerator = facts.frameRate.numerator;
  out.frameRateDenominator = facts.frameRate.denominator;
  const double milliseconds = std::round(facts.playingSeconds * 1000.0);
  out.playingMilliseconds = milliseconds <= 0              ? 0
                            : milliseconds >= 4294967295.0 ? 4294967295u
                                                           : static_cast<std::uint32_t>(milliseconds);
  out.muxRate = facts.muxRate;
  out.fileSize = facts.fileSize;
  out.discSectors = layout.leadOutLba;
  out.mpegSectors = layout.packCount;
  return out;
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_VideoCD_CheckSource(const char* sourceFile, uint8_t superVideoCd, char* text,
                                                       int32_t size, uint32_t* status, EmberlineVideoSourceFacts* facts,
                                                       uint8_t* cancel) {
  const ErrorOutputs out{text, size, status, nullptr};
  if (!LibraryState::instance().started()) return reportNotStarted(out);
  if (facts == nullptr) return report(out, Error::make(ErrorKind::InvalidArgument, "no place given for the facts"));
  std::memset(facts, 0, sizeof *facts);
  if (sourceFile == nullptr || *sourceFile == '\0')
    return report(out, Error::make(ErrorKind::InvalidArgument, "no MPEG file named"));
  const auto kind = superVideoCd != 0 ? video::VideoDiscKind::SuperVideoCd : video::VideoDiscKind::VideoCd;
  std::function<bool()> cancelled;
  if (cancel != nullptr)
    cancelled = [cancel] { return std::atomic_ref<std::uint8_t>(*cancel).load(std::memory_order_relaxed) != 0; };
  auto checked = video::checkMpegStream(sourceFile, kind, cancelled);
  if (!checked) return report(out, checked.error());
  auto layout = video::planVcdDisc(*checked, kPlanAlbumId);
  if (!layout) return report(out, layout.error());
  *facts = factsOf(*checked, *layout);
  return reportSuccess(out);
}

}  // extern "C"
