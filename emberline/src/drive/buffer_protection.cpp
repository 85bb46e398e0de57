// Buffer underrun protection: what page 2Ah says the drive has, and the BUFE
// bit of page 05h where the medium has that page.

#include "drive/drive.h"
#include "mmc/capabilities_page.h"
#include "mmc/write_parameters_page.h"

namespace emberline {

Result<BufferProtection> Drive::bufferProtection() {
  auto c = mmc::readCapabilities(transport_);
  if (!c.ok()) return fail(std::move(c).error());
  BufferProtection b;
  b.supported = c->bufferUnderrunProtection;
  auto page = mmc::readWriteParameters(transport_);
  if (page.ok()) {
    b.switchable = true;
    b.enabled = page->bufferUnderrunFree;
  } else if (page.error().kind == ErrorKind::NotSupported || page.error().kind == ErrorKind::CheckCondition) {
    // Without page 05h (DVD+ media) a drive that has the protection always uses it.
    b.enabled = b.supported;
  } else {
    return fail(std::move(page).error());
  }
  return b;
}

Status Drive::setBufferProtection(bool enable) {
  auto state = bufferProtection();
  if (!state.ok()) return fail(std::move(state).error());
  if (enable && !state->supported) return fail(ErrorKind::NotSupported, "the drive has no buffer underrun protection");
  if (!state->switchable) {
    if (state->enabled == enable) return {};
    return fail(ErrorKind::NotSupported, "buffer underrun protection cannot be switched for this medium");
  }
  auto page = mmc::readWriteParameters(transport_);
  if (!page.ok()) return fail(std::move(page).error());
  page->bufferUnderrunFree = enable;
  return mmc::writeWriteParameters(transport_, *page);
}

}  // namespace emberline
