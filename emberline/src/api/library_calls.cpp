// Version, start-up and shut-down of the library.

#include "api/export.h"
#include "api/library_state.h"
#include "emberline/emberline.h"

namespace emberline {

LibraryState& LibraryState::instance() {
  static LibraryState state;
  return state;
}

void LibraryState::start() { started_.store(true); }

void LibraryState::shutDown() { started_.store(false); }

}  // namespace emberline

extern "C" {

EMBERLINE_EXPORT uint32_t Emberline_GetVersion(void) { return EMBERLINE_VERSION; }

EMBERLINE_EXPORT uint8_t Emberline_StartUp(void) {
  emberline::LibraryState::instance().start();
  return EMBERLINE_OK;
}

EMBERLINE_EXPORT uint8_t Emberline_ShutDown(void) {
  emberline::LibraryState::instance().shutDown();
  return EMBERLINE_OK;
}

}  // extern "C"
