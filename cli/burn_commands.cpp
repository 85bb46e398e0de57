#include "cli/burn_commands.h"

#include <QFileInfo>
#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>

#include "cli/action_job.h"
#include "cli/command_line.h"
#include "cli/console_report.h"
#include "cli/device_argument.h"
#include "cli/dvd_image_command.h"
#include "cli/refusal.h"
#include "cli/tree_switches.h"
#include "devices/disc_speed_list.h"
#include "devices/disc_type_text.h"
#include "emberline/cdvd_writer.h"
#include "engine/burn_at_once_action.h"
#include "engine/burn_checks.h"
#include "engine/burn_to_file_action.h"
#include "engine/burner.h"
#include "engine/disc_verify.h"
#include "engine/run_cancelled.h"
#include "engine/source_check.h"
#include "engine/source_tree.h"
#include "engine/tsb_error.h"
#include "engine/video_file_action.h"
#include "log/diagnostic_logger.h"
#include "platform/image_file.h"
#include "platform/termination_signals.h"

namespace ondrelle::cli {

namespace {

/// Sets the session's speed: the one asked for with --speed, else the
/// fastest the drive offers for the disc. Throws TsbError for a speed the
/// drive does not offer.
void ChooseSpeed(TsbBurner& burner, const CommandLine& line) {
  TsbDiscSpeedList speeds;
  speeds.Build(burner);
  if (speeds.Count() > 0) {
    const TsbDiscSpeedItem* chosen = &speeds.Items(speeds.Count() - 1);  // the fastest
    if (line.Has(QStringLiteral("--speed"))) {
      // "8" or "8x": one trailing x, nothing else.
      QString given = line.Value(QStringLiteral("--speed"));
      if (given.endsWith(QLatin1Char('x'), Qt::CaseInsensitive)) given.chop(1);
      bool ok = false;
      const int x = given.toInt(&ok);
      if (!ok)
        throw TsbError(QStringLiteral("--speed needs a number such as 8 or 8x, not \"%1\"")
                           .arg(line.Value(QStringLiteral("--speed"))));
      chosen = speeds.FindBySpeedInPoint(x);
      if (chosen == nullptr) {
        QStringList offered;
        for (int i = 0; i < speeds.Count(); ++i) offered << QString::number(speeds.Items(i).SpeedInPoint);
        throw TsbError(QStringLiteral("This drive does not write this disc at %1x; it offers %2")
                           .arg(line.Value(QStringLiteral("--speed")), offered.join(QStringLiteral(", "))));
      }
    }
    burner.SpeedInPoint = chosen->SpeedInPoint;
    burner.SpeedInSize = chosen->SpeedInSize;
  }
}

/// Says the burn was cancelled and answers the exit status of the signal that did it.
int ReportCancelled(const platform::TerminationSignals& stopSignals) {
  std::fprintf(stdout, "Burning cancelled\n");
  std::fflush(stdout);
  return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
}

/// Opens and locks the writer and runs `prepare` (checks, speed, tree).
/// Nothing when the burn may go on; otherwise the exit status of a refusal
/// or of a signal that came meanwhile, with the writer released.
std::optional<int> PrepareWriter(TsbBurner& burner, const platform::TerminationSignals& stopSignals,
                                 const std::function<void()>& prepare) {
  try {
    burner.OpenDevice();
    // A signal that came before the writer was open had no call to cut short.
    ThrowIfCancelled(burner);
    burner.Lock();
    prepare();
  } catch (const TsbError& e) {
    burner.Release();
    if (stopSignals.Received() != 0) return ReportCancelled(stopSignals);
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    return 1;
  }
  if (stopSignals.Received() != 0) {
    burner.Release();
    return ReportCancelled(stopSignals);
  }
  return std::nullopt;
}

/// burn --kind vcd|svcd|dvd: the wizard's checks, then its video action.
int RunVideoBurn(const CommandLine& line, std::uint8_t kind) {
  for (const char* option :
       {"--mode", "--multisession", "--label", "--no-rock-ridge", "--keep-owners", "--follow-links"})
    if (line.Has(QLatin1String(option)))
      return Refuse(QStringLiteral("%1 is for data discs; a video disc is written the one way its kind needs")
                        .arg(QLatin1String(option)));
  const auto device = ParseDeviceArgument(line.Value(QStringLiteral("--device")));
  if (!device) return Refuse(QStringLiteral("burn needs --device NAME (\"CdRom0\" or \"host:channel:target:lun\")"));
  const QStringList sources = line.values.value(QStringLiteral("--source"));
  if (sources.size() != 1)
    return Refuse(kind == vkDVDVideo ? QStringLiteral("burn --kind dvd needs one --source VIDEO_TS folder")
                                     : QStringLiteral("burn --kind vcd or svcd needs one --source MPEG file"));

  TsbBurner burner;
  SetDevice(burner, *device);
  burner.TestMode = line.Has(QStringLiteral("--test"));
  burner.SendOPC = line.Has(QStringLiteral("--opc"));
  burner.VerifyAfterBurn = line.Has(QStringLiteral("--verify"));

  // The first signal cancels as the wizard's Cancel does: the library stops
  // the recording and leaves the medium in a defined state.
  std::uint8_t stopCheck = 0;  // written and read through std::atomic_ref
  platform::TerminationSignals stopSignals([&burner, &stopCheck](int) {
    std::atomic_ref<std::uint8_t>(stopCheck).store(1);
    burner.Cancel();
  });
  ConsoleReport report;
  if (const auto refused = PrepareWriter(burner, stopSignals, [&] {
        CheckBeforeVideoBurn(burner, kind, sources.front());
        // The source page's check of the stream or the VIDEO_TS structure:
        // a source that cannot be burned is refused in the wizard's words
        // before the burn starts, not by the library once it has.
        const TsbSourceCheck check = CheckVideoSource(kind, sources.front(), &stopCheck);
        if (check.Result == TsbSourceCheck::Outcome::Cancelled) ThrowIfCancelled(burner);
        if (!check.Passed()) {
          burner.LastMessage = check.Refusal;
          Logger().WriteLog(check.Detail);
          throw TsbError(check.Refusal);
        }
        ChooseSpeed(burner, line);
      }))
    return *refused;

  TsbVideoFileAction action;
  action.Options.IsDVD = kind == vkDVDVideo;
  action.Options.VideoKind = kind;
  (action.Options.IsDVD ? action.Options.SourceFolder : action.Options.SourceFile) = sources.front();
  action.Options.VolumeLabel = QStringLiteral("Video");
  action.Options.PublisherName = QStringLiteral("Emberline");
  const int status = RunActionAsJob(action, burner, {}, report);
  burner.Release();
  // The action has said "Burning cancelled"; the exit status tells the signal.
  if (stopSignals.Received() != 0 && burner.Cancelled)
    return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
  return status;
}

}  // namespace

int RunImageCommand(const QStringList& arguments) {
  const qsizetype kind = arguments.indexOf(QStringLiteral("--kind"));
  if (kind >= 0 && arguments.value(kind + 1) == QLatin1String("dvd")) return RunDvdImageCommand(arguments);
  QString error;
  const auto line = CommandLine::Parse(
      arguments,
      {QStringLiteral("--kind"), QStringLiteral("--output"), QStringLiteral("--label"), QStringLiteral("--boot")},
      {QStringLiteral("--source")}, TreeSwitches(), error);
  if (!line) return Refuse(error);
  if (const QString repeated = line->RepeatedOption(); !repeated.isEmpty())
    return Refuse(QStringLiteral("%1 is given more than once").arg(repeated));
  const auto treeOptions = TreeOptionsOf(*line, error);
  if (!treeOptions) return Refuse(error);
  if (line->Has(QStringLiteral("--kind")) && line->Value(QStringLiteral("--kind")) != QLatin1String("data"))
    return Refuse(QStringLiteral("image --kind takes data or dvd"));
  if (!line->Has(QStringLiteral("--source"))) return Refuse(QStringLiteral("image needs --source PATH..."));
  // An empty name names no file: it would be found out only once the image was built.
  if (line->Value(QStringLiteral("--output")).isEmpty()) return Refuse(QStringLiteral("image needs --output FILE.iso"));

  const QStringList sources = line->values.value(QStringLiteral("--source"));
  const QString output = line->Value(QStringLiteral("--output"));
  error = CheckSources(sources);
  if (error.isEmpty()) error = CheckOutputAgainstSources(output, sources);
  // Before the sources are read: a refused output costs nothing and creates nothing.
  if (error.isEmpty()) error = platform::ImageTargetRefusal(output);
  if (!error.isEmpty()) return Refuse(error);

  TsbBurner burner;
  burner.BurnMode = bmImageToFile;
  if (line->Has(QStringLiteral("--label"))) burner.ImageVolumeLabel = line->Value(QStringLiteral("--label"));
  if (line->Has(QStringLiteral("--boot"))) {
    burner.BootImageEnabled = true;
    burner.BootImageFile = line->Value(QStringLiteral("--boot"));
  }
  // A signal stops the copy at the next block; the target stays as it was.
  platform::TerminationSignals stopSignals([&burner](int) { burner.Cancel(); });
  ConsoleReport report;  // before the tree: its names may change
  std::int32_t nodes = 0;
  burner.FileTree = BuildSourceTree(sources, nodes, error, *treeOptions);
  if (burner.FileTree == nullptr) return Refuse(error);

  TsbBurnToFileAction action;
  const int status = burner.Cancelled ? 1 : RunActionAsJob(action, burner, output, report);
  if (stopSignals.Received() != 0) {
    std::fprintf(stderr, "Image cancelled; \"%s\" is as it was\n", qPrintable(output));
    return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
  }
  if (status == 0 && burner.Cancelled) return 1;
  return status;
}

int RunBurnCommand(const QStringList& arguments) {
  QString error;
  const auto line = CommandLine::Parse(arguments,
                                       {QStringLiteral("--kind"), QStringLiteral("--device"), QStringLiteral("--mode"),
                                        QStringLiteral("--speed"), QStringLiteral("--label")},
                                       {QStringLiteral("--source")},
                                       QStringList{QStringLiteral("--test"), QStringLiteral("--opc"),
                                                   QStringLiteral("--multisession"), QStringLiteral("--verify")} +
                                           TreeSwitches(),
                                       error);
  if (!line) return Refuse(error);
  // A second --device or --kind would be ignored: the burn would go to a
  // drive or take a kind the user did not mean.
  if (const QString repeated = line->RepeatedOption(); !repeated.isEmpty())
    return Refuse(QStringLiteral("%1 is given more than once").arg(repeated));
  const QString kind = line->Value(QStringLiteral("--kind"));
  if (kind == QLatin1String("vcd")) return RunVideoBurn(*line, vkVideoCD);
  if (kind == QLatin1String("svcd")) return RunVideoBurn(*line, vkSuperVideoCD);
  if (kind == QLatin1String("dvd")) return RunVideoBurn(*line, vkDVDVideo);
  if (kind != QLatin1String("data")) return Refuse(QStringLiteral("burn needs --kind data, vcd, svcd or dvd"));
  const auto treeOptions = TreeOptionsOf(*line, error);
  if (!treeOptions) return Refuse(error);
  const auto device = ParseDeviceArgument(line->Value(QStringLiteral("--device")));
  if (!device) return Refuse(QStringLiteral("burn needs --device NAME (\"CdRom0\" or \"host:channel:target:lun\")"));
  const QStringList sources = line->values.value(QStringLiteral("--source"));
  if (sources.isEmpty()) return Refuse(QStringLiteral("burn needs --source PATH..."));

  const QString mode = line->Value(QStringLiteral("--mode"));
  std::uint8_t burnMode = 0;
  if (mode == QLatin1String("tao"))
    burnMode = bmTAOFromTree;
  else if (mode == QLatin1String("sao"))
    burnMode = bmSAOFromTree;
  else if (mode == QLatin1String("dao-pq"))
    burnMode = bmDAOPQFromTree;
  else if (mode == QLatin1String("dao-raw"))
    burnMode = bmDAORawFromTree;
  else
    return Refuse(QStringLiteral("burn needs --mode tao, sao, dao-pq or dao-raw"));

  if (error = CheckSources(sources); !error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }

  TsbBurner burner;
  SetDevice(burner, *device);
  burner.BurnMode = burnMode;
  burner.TestMode = line->Has(QStringLiteral("--test"));
  burner.SendOPC = line->Has(QStringLiteral("--opc"));
  burner.VerifyAfterBurn = line->Has(QStringLiteral("--verify"));
  burner.MultiSession = line->Has(QStringLiteral("--multisession"));
  if (line->Has(QStringLiteral("--label"))) burner.ImageVolumeLabel = line->Value(QStringLiteral("--label"));

  // The first signal cancels the burn as the wizard's Cancel does: a wait
  // or preparation call in progress ends at once and nothing is written; a
  // burn in progress is stopped by the library, which closes what it opened
  // so the medium stays readable.
  platform::TerminationSignals stopSignals([&burner](int) { burner.Cancel(); });
  // Warnings raised while preparing (renamed or merged names) reach the console too.
  ConsoleReport report;
  if (const auto refused = PrepareWriter(burner, stopSignals, [&] {
        CheckBeforeBurn(burner, sources);
        ChooseSpeed(burner, *line);
        std::int32_t nodes = 0;
        burner.FileTree = BuildSourceTree(sources, nodes, error, *treeOptions);
        if (burner.FileTree == nullptr) throw TsbError(error);
      }))
    return *refused;

  TsbBurnAtOnceToCDDVDAction action;
  const int status = RunActionAsJob(action, burner, {}, report);
  burner.Release();
  // A signal that came once the disc was complete cancelled nothing.
  if (stopSignals.Received() != 0 && status != 0) return ReportCancelled(stopSignals);
  // Cancelled while the writer was prepared: the action has said so.
  if (stopSignals.Received() != 0 && burner.Cancelled && !burner.BurnSucceeded)
    return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
  return status;
}

}  // namespace ondrelle::cli
