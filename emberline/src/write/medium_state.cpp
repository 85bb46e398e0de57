#include "write/medium_state.h"

namespace emberline::write {

Result<MediumState> inspectMedium(Drive& drive) {
  ScsiTransport& transport = drive.transport();
  MediumState state;
  auto current = drive.currentProfile();
  if (!current.ok()) return fail(std::move(current).error());
  state.profile = *current;
  state.family = familyOfProfile(*current);
  switch (state.family) {
    case MediumFamily::None:
      return fail(ErrorKind::NotReady, "there is no disc in the drive");
    case MediumFamily::ReadOnly:
    case MediumFamily::Other:
      return fail(ErrorKind::NotSupported, "the disc in the drive cannot be written");
    default:
      break;
  }
  auto disc = mmc::readDiscInformation(transport);
  if (!disc.ok()) return fail(std::move(disc).error());
  state.disc = *disc;
  if (state.family == MediumFamily::Cd && state.profile == profile::kCdRom)
    return fail(ErrorKind::NotSupported, "the disc in the drive is a pressed CD-ROM");
  if (state.family != MediumFamily::RandomWritable && state.disc.discStatus == mmc::DiscStatus::Complete)
    return fail(ErrorKind::NotSupported, "the disc is closed: nothing more can be written to it");
  auto track = mmc::readTrackInformation(transport, mmc::kInvisibleTrack);
  if (!track.ok()) return fail(std::move(track).error());
  if (!track->nextWritableAddressValid && state.family != MediumFamily::RandomWritable)
    return fail(ErrorKind::NotSupported, "the drive reports no writable address on the disc");
  state.nextTrack = track->trackNumber;
  state.nextWritable = track->nextWritableAddressValid ? track->nextWritableAddress : 0;
  state.freeBlocks = track->freeBlocks;
  return state;
}

}  // namespace emberline::write
