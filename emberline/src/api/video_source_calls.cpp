// The check of a Video CD or Super Video CD source through the flat API,
// without a device: the same streaming check the burn calls make before
// writing, so a front end can refuse a source before it prepares a drive.

#include "api/call_result.h"
#include "api/export.h"
#include "api/library_state.h"
#include "emberline/writing.h"
#include "video/mpeg_stream_check.h"

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_VideoCD_CheckSource(char* text, int32_t size, uint32_t* status,
                                                       const char* sourceFile, uint8_t superVideoCd) {
  const ErrorOutputs out{text, size, status, nullptr};
  if (!LibraryState::instance().started()) return reportNotStarted(out);
  if (sourceFile == nullptr || *sourceFile == '\0')
    return report(out, Error::make(ErrorKind::InvalidArgument, "no MPEG file named"));
  const auto kind = superVideoCd != 0 ? video::VideoDiscKind::SuperVideoCd : video::VideoDiscKind::VideoCd;
  auto facts = video::checkMpegStream(sourceFile, kind);
  if (!facts.ok()) return report(out, facts.error());
  return reportSuccess(out);
}

}  // extern "C"
