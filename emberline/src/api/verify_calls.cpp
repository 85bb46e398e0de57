// Reading discs back through the flat API: the last recording of a device,
// or whatever disc is in the drive against a file tree's image.

#include <functional>
#include <vector>

#include "api/device_call.h"
#include "api/export.h"
#include "api/tree_block_source.h"
#include "api/verify_plan.h"
#include "emberline/writing.h"
#include "verify/disc_verifier.h"

namespace emberline {

namespace {

/// The drive may still be finishing the recording (closing, flushing) when asked.
constexpr std::chrono::minutes kReadyLimit{2};

Result<std::uint64_t> compare(DeviceObject& device, std::vector<verify::VerifyTrack>& tracks) {
  verify::VerifyContext context{device.transport(), cancelPredicate(device), {}};
  context.progress = [&device](std::uint64_t total, std::uint64_t done) {
    device.notify(EMBERLINE_CALLBACK_PROGRESS, &total, &done);
  };
  return verify::verifyTracks(context, tracks);
}

Result<std::uint64_t> verifyLastWrite(DeviceObject& device) {
  if (!device.lastWrite)
    return fail(ErrorKind::InvalidArgument,
                "there is nothing to verify: no recording on this device succeeded since it was opened "
                "(a test recording writes nothing)");
  EMBERLINE_TRY(device.drive().waitUntilReady(kReadyLimit));
  auto tracks = openRecipe(*device.lastWrite);
  if (!tracks.ok()) return fail(std::move(tracks).error());
  return compare(device, *tracks);
}

Result<std::uint64_t> verifyTree(DeviceObject& device, EmberlineHandle tree) {
  EMBERLINE_TRY(device.drive().waitUntilReady(kReadyLimit));
  auto track = treeVerifyTrack(tree);
  if (!track.ok()) return fail(std::move(track).error());
  std::vector<verify::VerifyTrack> tracks;
  tracks.push_back(std::move(*track));
  return compare(device, tracks);
}

uint8_t verifyCall(EmberlineHandle writer, const ErrorOutputs& out, uint64_t* sectorsCompared,
                   const std::function<Result<std::uint64_t>(DeviceObject&)>& verify) {
  if (sectorsCompared != nullptr) *sectorsCompared = 0;
  if (!LibraryState::instance().started()) return reportNotStarted(out);
  return runDeviceCall(writer, out, [&](DeviceObject& device) -> Status {
    auto compared = verify(device);
    if (!compared.ok()) return fail(std::move(compared).error());
    if (sectorsCompared != nullptr) *sectorsCompared = *compared;
    return {};
  });
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Verify(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, uint64_t* sectorsCompared) {
  return verifyCall(writer, {text, size, status, failure}, sectorsCompared, verifyLastWrite);
}

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_VerifyTree(EmberlineHandle writer, char* text, int32_t size,
                                                         uint32_t* status, EmberlineFailureInfo* failure,
                                                         EmberlineHandle tree, uint64_t* sectorsCompared) {
  return verifyCall(writer, {text, size, status, failure}, sectorsCompared,
                    [tree](DeviceObject& device) { return verifyTree(device, tree); });
}

}  // extern "C"
