// DVD-Video structures through the flat API. Placeholder until the bridge
// image lands: every call refuses, so no caller can burn half a structure.

#include "api/call_result.h"
#include "api/export.h"
#include "emberline/dvd_video.h"

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_Create(EmberlineHandle* dvdVideo, const char* /*sourceFolder*/,
                                                   uint8_t /*addAudioTs*/, char* text, int32_t size, uint32_t* status,
                                                   const char* /*volumeLabel*/, const char* /*publisher*/,
                                                   const char* /*application*/, uint16_t /*year*/, uint16_t /*month*/,
                                                   uint16_t /*day*/, uint16_t /*hour*/, uint16_t /*minute*/,
                                                   uint16_t /*second*/, uint16_t /*millisecond*/) {
  if (dvdVideo != nullptr) *dvdVideo = nullptr;
  return report(ErrorOutputs{text, size, status, nullptr},
                Error::make(ErrorKind::NotSupported, "DVD-Video structures are not available yet"));
}

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_GetTreePointer(EmberlineHandle /*dvdVideo*/, EmberlineHandle* tree) {
  if (tree != nullptr) *tree = nullptr;
  return EMBERLINE_E_INVALID_ARGUMENT;
}

EMBERLINE_EXPORT uint8_t Emberline_DVDVideo_Destroy(EmberlineHandle /*dvdVideo*/) {
  return EMBERLINE_E_INVALID_ARGUMENT;
}
}
