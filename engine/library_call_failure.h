#pragma once
// A failed library call as the engine reports it: one line built from the
// session's exception code, system status and exception text, kept as the
// session's last message and written to the diagnostic log. What follows
// (an exception, a message in the burn log, nothing) is the caller's.

#include <QString>

namespace ondrelle {

class TsbBurner;

/// How a failure line ends. A few calls' lines carry the two characters
/// backslash and n at the end; users and scripts see them, so they stay.
enum class TsbFailureEnding { Plain, BackslashN };

/// `LastMessage` := "Emberline_<function>() failed, exception %d, status %d,
/// text "%s"" filled from the session, `function` named without
/// "Emberline_"; the line is logged and returned.
const QString& RecordLibraryFailure(TsbBurner& burner, const char* function,
                                    TsbFailureEnding ending = TsbFailureEnding::Plain);

/// As RecordLibraryFailure, then raises a TsbError carrying the line.
[[noreturn]] void RaiseLibraryFailure(TsbBurner& burner, const char* function,
                                      TsbFailureEnding ending = TsbFailureEnding::Plain);

}  // namespace ondrelle
