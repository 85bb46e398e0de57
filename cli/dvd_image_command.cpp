// The DVD-Video image of a VIDEO_TS folder written to a file: the same bridge
// image a DVD-Video burn records, byte for byte but its date, to try in a
// software player first.

#include "cli/dvd_image_command.h"

#include <QFileInfo>
#include <cstdio>

#include "cli/action_job.h"
#include "cli/command_line.h"
#include "cli/console_report.h"
#include "cli/refusal.h"
#include "engine/burn_to_file_action.h"
#include "engine/burner.h"
#include "engine/source_tree.h"
#include "platform/image_file.h"
#include "platform/termination_signals.h"

namespace ondrelle::cli {

int RunDvdImageCommand(const QStringList& arguments) {
  QString error;
  const auto line =
      CommandLine::Parse(arguments, {QStringLiteral("--kind"), QStringLiteral("--output"), QStringLiteral("--label")},
                         {QStringLiteral("--source")}, {}, error);
  if (!line) return Refuse(error);
  // One structure per image: a second source would be dropped without a word.
  if (line->values.value(QStringLiteral("--source")).size() > 1)
    return Refuse(QStringLiteral("image --kind dvd takes one --source: the VIDEO_TS folder of one disc"));
  if (const QString repeated = line->RepeatedOption(); !repeated.isEmpty())
    return Refuse(QStringLiteral("%1 is given more than once").arg(repeated));
  if (line->Value(QStringLiteral("--kind")) != QLatin1String("dvd"))
    return Refuse(QStringLiteral("image --kind takes data or dvd"));
  if (!line->Has(QStringLiteral("--source")))
    return Refuse(QStringLiteral("image --kind dvd needs --source FOLDER (the VIDEO_TS folder or its parent)"));
  if (line->Value(QStringLiteral("--output")).isEmpty())
    return Refuse(QStringLiteral("image --kind dvd needs --output FILE.iso"));
  const QString source = line->Value(QStringLiteral("--source"));
  const QString output = line->Value(QStringLiteral("--output"));
  const QString label =
      line->Has(QStringLiteral("--label")) ? line->Value(QStringLiteral("--label")) : QStringLiteral("Video");

  // The output is checked before any work: nothing is read, built or created for a refused one.
  if (error = CheckOutputAgainstSources(output, {source}); !error.isEmpty()) return Refuse(error);
  if (QFileInfo(output).isDir())
    return Refuse(QStringLiteral("\"%1\" is a folder: give the image file's name").arg(output));
  if (error = platform::ImageTargetRefusal(output); !error.isEmpty()) return Refuse(error);

  // The same action, and so the same image-to-file step, as a data image;
  // the disc is the one a DVD-Video burn of the folder records.
  TsbBurner burner;
  burner.BurnMode = bmImageToFile;
  // A signal stops the copy at the next block; the target stays as it was.
  platform::TerminationSignals stopSignals([&burner](int) { burner.Cancel(); });
  ConsoleReport report;
  TsbVideoBurnOptions video;
  video.IsDVD = true;
  video.VideoKind = vkDVDVideo;
  video.SourceFolder = source;
  video.VolumeLabel = label;
  video.PublisherName = QStringLiteral("Emberline");
  TsbBurnToFileAction action;
  action.Video = video;
  const int status = RunActionAsJob(action, burner, output, report);
  if (stopSignals.Received() != 0) {
    std::fprintf(stderr, "Image cancelled; \"%s\" is as it was\n", qPrintable(output));
    return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
  }
  return status == 0 && burner.Cancelled ? 1 : status;
}

}  // namespace ondrelle::cli
