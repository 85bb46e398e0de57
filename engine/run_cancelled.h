#pragma once
// A run the user cancelled while the writer was being prepared: nothing has
// been written, and the run ends with the cancelled message, not an error.

#include "engine/tsb_error.h"

namespace ondrelle {

class TsbBurner;

class TsbRunCancelled : public TsbError {
 public:
  /// Carries "Burning cancelled" in the user's language.
  TsbRunCancelled();
};

/// Raises TsbRunCancelled once the session has been cancelled. Called
/// between the library calls of a preparation, because the library only
/// cuts short the call that is running when the cancel comes.
void ThrowIfCancelled(const TsbBurner& burner);

}  // namespace ondrelle
