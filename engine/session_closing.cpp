#include "engine/session_closing.h"

#include "engine/burner.h"
#include "engine/video_burn_options.h"

namespace ondrelle {

TsbRecording RecordingOfBurnMode(std::uint8_t burnMode) {
  return burnMode == bmTAOFromTree || burnMode == bmTAOFromFile ? TsbRecording::TrackAtOnce : TsbRecording::AtOnce;
}

TsbRecording RecordingOfVideoKind(std::uint8_t videoKind) {
  return videoKind == vkDVDVideo ? TsbRecording::TrackAtOnce : TsbRecording::AtOnce;
}

bool ProgramClosesSession(const TsbBurner& burner, TsbRecording recording, bool recorded) {
  return recording == TsbRecording::TrackAtOnce && recorded && !burner.TestMode;
}

}  // namespace ondrelle
