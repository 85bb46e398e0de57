// Closing what a recording left open: the last track, then the session, once
// the cache is on the medium. What the recording closed itself is left alone.

#include "drive/drive.h"
#include "mmc/command_runner.h"
#include "mmc/disc_information.h"
#include "mmc/recording_commands.h"
#include "mmc/wait_until_ready.h"
#include "transport/sense_codes.h"

namespace emberline {

// Immediate commands return at once; the drive then reports "long write in
// progress" until the medium is done, which can take minutes on slow media.
Status Drive::runAndWait(const Status& started) {
  if (!started.ok()) return started;
  return waitUntilReady(mmc::timeouts::kLong);
}

Status Drive::closeSession() {
  auto profile = currentProfile();
  if (!profile.ok()) return fail(std::move(profile).error());
  const MediumFamily f = familyOfProfile(*profile);
  // Overwritable media have no track or session to close, and every
  // recording flushes the cache at its end.
  if (f != MediumFamily::Cd && f != MediumFamily::DvdSequential && f != MediumFamily::DvdPlusSequential) return {};
  // A recording that closed its own session (at once, or a finalized DVD+R)
  // has flushed and closed everything: nothing is sent a second time.
  auto disc = mmc::readDiscInformation(transport_);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->lastSessionState != mmc::SessionState::Incomplete) return {};
  EMBERLINE_TRY(runAndWait(mmc::synchronizeCache(transport_, true)));
  auto track = mmc::readTrackInformation(transport_, disc->lastTrackInLastSession);
  if (!track.ok()) return fail(std::move(track).error());
  if (!track->blank) {
    Status closed = runAndWait(mmc::closeTrackSession(transport_, mmc::CloseFunction::Track, track->trackNumber, true));
    // A track the drive already closed (session at once, or the drive's own close) is not a failure.
    if (!closed.ok() && !sense::sameCondition(closed.error(), sense::kSequenceError)) return closed;
  }
  return runAndWait(mmc::closeTrackSession(transport_, mmc::CloseFunction::Session, 0, true));
}

}  // namespace emberline
