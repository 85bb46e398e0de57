#pragma once
// Checking, starting and stopping the burning library.

#include <QString>
#include <cstdint>

namespace ondrelle {

inline constexpr std::uint32_t kExpectedLibraryVersion = 0x20080820u;

struct LibraryVersionCheck {
  bool Matches = false;
  QString Message;  ///< for the debugger output (standard error here)
};

/// Compares a library version with the one this program is built for.
LibraryVersionCheck CheckLibraryVersion(std::uint32_t actual);

/// Asks the loaded library for its version and checks it.
LibraryVersionCheck CheckLoadedLibraryVersion();

/// Checks the loaded library's version and reports it on the debug output
/// (category "ondrelle.library"; a mismatch is a warning, shown by
/// default). The program goes on either way.
LibraryVersionCheck ReportLibraryVersion();

/// Starts the library once; throws TsbError with
/// "Emberline_StartUp() failed, exception %d" when it refuses.
void StartLibrary();

/// Shuts the library down; failures are swallowed.
void ShutDownLibrary() noexcept;

}  // namespace ondrelle
