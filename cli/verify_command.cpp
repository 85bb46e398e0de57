// A disc checked against the sources it was made from, without writing: the
// data image is built again as `image` and a data burn build it, dated as the
// disc's volume is, and compared with the disc sector by sector.

#include "cli/verify_command.h"

#include <cstdio>

#include "cli/command_line.h"
#include "cli/console_report.h"
#include "cli/device_argument.h"
#include "cli/refusal.h"
#include "cli/tree_switches.h"
#include "emberline/cdvd_writer.h"
#include "emberline/file_tree.h"
#include "emberline/writing.h"
#include "engine/burner.h"
#include "engine/library_call_failure.h"
#include "engine/session_image.h"
#include "engine/source_tree.h"
#include "engine/tsb_error.h"
#include "log/callback_eventer.h"
#include "log/diagnostic_logger.h"
#include "platform/termination_signals.h"

namespace ondrelle::cli {

namespace {

/// The disc's volume creation time: the image is dated with it, so that the
/// same sources build the same bytes.
std::int64_t VolumeCreationTime(TsbBurner& b) {
  std::int64_t created = 0;
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetVolumeCreationTime"));
  b.ExceptionCode = Emberline_CdvdWriter_GetVolumeCreationTime(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                               &b.SystemStatus, &b.FailureInfo, &created);
  if (b.ExceptionCode != 0) RaiseLibraryFailure(b, "CdvdWriter_GetVolumeCreationTime");
  return created;
}

void DateTree(TsbBurner& b, std::int64_t created) {
  Logger().WriteLog(QStringLiteral("ISO9660JolietFileTree_SetCreationTime"));
  b.ExceptionCode = Emberline_ISO9660JolietFileTree_SetCreationTime(b.FileTree, b.ExceptionText.data(),
                                                                    EMBERLINE_TEXT_SIZE, &b.SystemStatus, created);
  if (b.ExceptionCode != 0) RaiseLibraryFailure(b, "ISO9660JolietFileTree_SetCreationTime");
}

}  // namespace

int RunVerifyCommand(const QStringList& arguments) {
  QString error;
  const auto line = CommandLine::Parse(arguments, {QStringLiteral("--device"), QStringLiteral("--label")},
                                       {QStringLiteral("--source")}, TreeSwitches(), error);
  if (!line) return Refuse(error);
  if (const QString repeated = line->RepeatedOption(); !repeated.isEmpty())
    return Refuse(QStringLiteral("%1 is given more than once").arg(repeated));
  const auto device = ParseDeviceArgument(line->Value(QStringLiteral("--device")));
  if (!device) return Refuse(QStringLiteral("verify needs --device NAME (\"CdRom0\" or \"host:channel:target:lun\")"));
  const QStringList sources = line->values.value(QStringLiteral("--source"));
  if (sources.isEmpty()) return Refuse(QStringLiteral("verify needs --source PATH..., as the disc was made from"));
  const auto treeOptions = TreeOptionsOf(*line, error);
  if (!treeOptions) return Refuse(error);
  if (error = CheckSources(sources); !error.isEmpty()) {
    std::fprintf(stderr, "%s\n", qPrintable(error));
    return 1;
  }

  TsbBurner burner;
  SetDevice(burner, *device);
  if (line->Has(QStringLiteral("--label"))) burner.ImageVolumeLabel = line->Value(QStringLiteral("--label"));
  platform::TerminationSignals stopSignals([&burner](int) { burner.Cancel(); });
  ConsoleReport report;
  std::uint64_t compared = 0;
  try {
    burner.OpenDevice();
    burner.Lock();
    const std::int64_t created = VolumeCreationTime(burner);
    std::int32_t nodes = 0;
    burner.FileTree = BuildSourceTree(sources, nodes, error, *treeOptions);
    if (burner.FileTree == nullptr) throw TsbError(error);
    DateTree(burner, created);
    // Built as `image` builds it: a disc written from that image, or by a data burn onto a blank disc, starts at 0.
    BuildSessionImage(burner, {"ISO9660JolietFileTree_SetBootImage: Bootimage: ", 0, 8},
                      [&report](const QString& warning) { report.Message(warning, TsbLogItemType::litWarning); });
    report.Message(QStringLiteral("Verifying disc"), TsbLogItemType::litInfo);
    burner.Progress.LastProgress = 0;
    CallBackEventer().DoProgress(0);
    Logger().WriteLog(QStringLiteral("CdvdWriter_VerifyTree"));
    burner.ExceptionCode =
        Emberline_CdvdWriter_VerifyTree(burner.Writer, burner.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                        &burner.SystemStatus, &burner.FailureInfo, burner.FileTree, &compared);
    if (burner.ExceptionCode != 0) RaiseLibraryFailure(burner, "CdvdWriter_VerifyTree");
    CallBackEventer().DoProgress(100);
  } catch (const TsbError& e) {
    burner.Release();
    report.Finish();
    if (stopSignals.Received() != 0) {
      std::fprintf(stdout, "Verify cancelled\n");
      return platform::TerminationSignals::ExitStatusFor(stopSignals.Received());
    }
    report.Message(e.Message(), TsbLogItemType::litError);
    if (burner.ExceptionCode == EMBERLINE_E_VERIFY_MISMATCH)
      report.Message(QStringLiteral("The disc does not read back as its sources make it."), TsbLogItemType::litError);
    return 1;
  }
  burner.Release();
  report.Finish();
  report.Message(QStringLiteral("Disc verified: %1 sectors compared, all equal").arg(compared),
                 TsbLogItemType::litInfo);
  return 0;
}

}  // namespace ondrelle::cli
