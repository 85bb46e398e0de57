#pragma once
// How the command line runs a burn or an image: one action as the one burn
// job, its lines on the console, waited for to its end.

#include <QString>

namespace ondrelle {
class TsbAction;
class TsbBurner;
}  // namespace ondrelle

namespace ondrelle::cli {

class ConsoleReport;

/// Runs `action` on `burner` as a burn job (`fileName` is the list's file:
/// the image's target, or the source of a burn from a file). 0 when the job
/// did not fail; 1 with its error line (and a failed verify's warning) said.
int RunActionAsJob(TsbAction& action, TsbBurner& burner, const QString& fileName, ConsoleReport& report);

}  // namespace ondrelle::cli
