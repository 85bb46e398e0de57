#pragma once
// Who closes the session a burn wrote: decided here, once, for every kind
// of burn. The library's session-at-once and disc-at-once recordings (data
// session at once and disc at once, Video CD, Super Video CD) end with the
// session closed by the drive; a track-at-once recording (data track at once,
// DVD-Video) closes its track and leaves the session open for the program.
// A recording cut short or failed was closed by the library on its way out,
// and a test recording wrote nothing: neither is closed again.

#include <cstdint>

namespace ondrelle {

class TsbBurner;

enum class TsbRecording : std::uint8_t {
  TrackAtOnce,  ///< the session stays open after the library's call
  AtOnce,       ///< the drive closes the session with the recording
};

/// The recording a data burn makes in `burnMode`.
TsbRecording RecordingOfBurnMode(std::uint8_t burnMode);
/// The recording a video burn of `videoKind` makes.
TsbRecording RecordingOfVideoKind(std::uint8_t videoKind);

/// True when the program must close the session: `recorded` says the
/// library's recording call ended successfully.
bool ProgramClosesSession(const TsbBurner& burner, TsbRecording recording, bool recorded);

}  // namespace ondrelle
