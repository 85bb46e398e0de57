// Reading the last recording back through the flat API.

#include "api/device_call.h"
#include "api/export.h"
#include "api/verify_plan.h"
#include "emberline/writing.h"
#include "verify/disc_verifier.h"

namespace emberline {

namespace {

/// The drive may still be finishing the recording (closing, flushing) when asked.
constexpr std::chrono::minutes kReadyLimit{2};

Result<std::uint64_t> verifyLastWrite(DeviceObject& device) {
  if (!device.lastWrite)
    return fail(ErrorKind::InvalidArgument,
                "there is nothing to verify: no recording on this device succeeded since it was opened "
                "(a test recording writes nothing)");
  EMBERLINE_TRY(device.drive().waitUntilReady(kReadyLimit));
  auto tracks = openRecipe(*device.lastWrite);
  if (!tracks.ok()) return fail(std::move(tracks).error());
  verify::VerifyContext context{device.transport(), cancelPredicate(device), {}};
  context.progress = [&device](std::uint64_t total, std::uint64_t done) {
    device.notify(EMBERLINE_CALLBACK_PROGRESS, &total, &done);
  };
  return verify::verifyTracks(context, *tracks);
}

}  // namespace

}  // namespace emberline

using namespace emberline;

extern "C" {

EMBERLINE_EXPORT uint8_t Emberline_CdvdWriter_Verify(EmberlineHandle writer, char* text, int32_t size, uint32_t* status,
                                                     EmberlineFailureInfo* failure, uint64_t* sectorsCompared) {
  const ErrorOutputs out{text, size, status, failure};
  if (sectorsCompared != nullptr) *sectorsCompared = 0;
  if (!LibraryState::instance().started()) return reportNotStarted(out);
  return runDeviceCall(writer, out, [&](DeviceObject& device) -> Status {
    auto compared = verifyLastWrite(device);
    if (!compared.ok()) return fail(std::move(compared).error());
    if (sectorsCompared != nullptr) *sectorsCompared = *compared;
    return {};
  });
}

}  // extern "C"
