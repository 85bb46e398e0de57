// The tray (lock, release, eject) and closing what a recording left open.

#include "api/device_call.h"
#include "api/export.h"
#include "api/medium_family.h"
#include "emberline/cdvd_writer.h"
#include "mmc/command_runner.h"
#include "mmc/disc_information.h"
#include "mmc/recording_commands.h"
#include "mmc/unit_commands.h"
#include "mmc/wait_until_ready.h"

namespace emberline {

namespace {

constexpr std::uint8_t kIllegalRequest = 0x05;
constexpr std::uint8_t kCommandSequenceError = 0x2C;

bool isSequenceError(const Error& error) {
  return error.senseKey == kIllegalRequest && error.asc == kCommandSequenceError;
}

// Immediate commands return at once; the drive then reports "long write in
// progress" until the medium is done, which can take minutes on slow media.
Status runAndWait(DeviceObject& device, const Status& started) {
  if (!started.ok()) return started;
  mmc::WaitOptions options;
  options.limit = mmc::timeouts::kLong;
  options.cancelled = cancelPredicate(device);
  return mmc::waitUntilReady(device.transport(), options);
}

Status closeOpenTrack(DeviceObject& device, const mmc::DiscInformation& disc) {
  auto& transport = device.transport();
  auto track = mmc::readTrackInformation(transport, disc.lastTrackInLastSession);
  if (!track.ok()) return fail(std::move(track).error());
  if (track->blank) return {};
  Status closed = runAndWait(
      device, mmc::closeTrackSession(transport, mmc::CloseFunction::Track, track->trackNumber, true));
  // A track the drive already closed (session at once, or the drive's own close) is not a failure.
  if (!closed.ok() && isSequenceError(closed.error())) return {};
  return closed;
}

Status closeSession(DeviceObject& device) {
  auto& transport = device.transport();
  EMBERLINE_TRY(runAndWait(device, mmc::synchronizeCache(transport, true)));
  auto profile = currentProfile(transport);
  if (!profile.ok()) return fail(std::move(profile).error());
  const MediumFamily family = familyOfProfile(*profile);
  if (family != MediumFamily::Cd && family != MediumFamily::DvdSequential &&
      family != MediumFamily::DvdPlusSequential)
    return {};  // overwritable media are done once the cache is on the medium
  auto disc = mmc::readDiscInformation(transport);
  if (!disc.ok()) return fail(std::move(disc).error());
  if (disc->lastSessionState != mmc::SessionState::Incomplete) return {};  // nothing was left open
  EMBERLINE_TRY(closeOpenTrack(device, *disc));
  return runAndWait(device, mmc::closeTrackSession(transport, mmc::CloseFunction::Session, 0, true));
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Lock(EmberlineHandle handle, char* text, int32_t size,
                                                   uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return mmc::preventMediumRemoval(device.transport(), true); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Release(EmberlineHandle handle, char* text, int32_t size,
                                                      uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return mmc::preventMediumRemoval(device.transport(), false); });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Eject(EmberlineHandle handle, char* text, int32_t size,
                                                    uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure}, [](DeviceObject& device) {
    return mmc::startStopUnit(device.transport(), mmc::StartStopAction::Eject);
  });
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_CloseSession(EmberlineHandle handle, char* text, int32_t size,
                                                           uint32_t* status, EmberlineFailureInfo* failure) {
  return runDeviceCall(handle, ErrorOutputs{text, size, status, failure},
                       [](DeviceObject& device) { return closeSession(device); });
}

}  // extern "C"
