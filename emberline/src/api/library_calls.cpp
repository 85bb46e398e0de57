// Version, start-up and shut-down of the library.

#include <cstdio>

#include "api/call_result.h"
#include "api/export.h"
#include "api/library_state.h"
#include "emberline/emberline.h"
#include "virtual/virtual_writer_registry.h"

namespace emberline {

LibraryState& LibraryState::instance() {
  static LibraryState state;
  return state;
}

Status LibraryState::start() {
  std::lock_guard lock(transitionMutex_);
  // A second start-up would drop the media of writers that callers still hold handles to.
  if (started_.load()) return {};
  EMBERLINE_TRY(virt::VirtualWriterRegistry::instance().startFromEnvironment());
  started_.store(true);
  return {};
}

void LibraryState::shutDown() {
  std::lock_guard lock(transitionMutex_);
  started_.store(false);
  // Objects go first so no device object is left talking to a drive whose images are finished.
  objects_.clear();
  virt::VirtualWriterRegistry::instance().shutDown();
}

}  // namespace emberline

extern "C" {

EMBERLINE_EXPORT uint32_t Emberline_GetVersion(void) {
  return EMBERLINE_VERSION;
}

EMBERLINE_EXPORT uint8_t Emberline_StartUp(void) {
  const emberline::Status status = emberline::LibraryState::instance().start();
  if (status.ok()) return EMBERLINE_OK;
  std::fprintf(stderr, "libemberline: start-up failed: %s\n", status.error().message.c_str());
  return emberline::exceptionCodeOf(status.error());
}

EMBERLINE_EXPORT uint8_t Emberline_ShutDown(void) {
  emberline::LibraryState::instance().shutDown();
  return EMBERLINE_OK;
}

}  // extern "C"
