// The checks before a video burn (declared in burn_checks.h).

#include "emberline/cdvd_writer.h"
#include "engine/burn_checks.h"
#include "engine/burner.h"
#include "engine/page_checks.h"
#include "engine/run_cancelled.h"
#include "engine/source_tree.h"
#include "engine/tsb_error.h"
#include "engine/writer_readiness.h"
#include "log/diagnostic_logger.h"
#include "platform/executable_path.h"

namespace ondrelle {

namespace {

/// Free and total space of the disc in the session's writer, as the device page reads them.
TsbDiscSpace ReadDiscSpace(TsbBurner& b) {
  TsbDiscSpace space;
  std::uint32_t freeCount = 0;
  std::uint64_t freeSize = 0;
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscFreeSpace"));
  if (Emberline_CdvdWriter_GetDiscFreeSpace(b.Writer, 3, &freeCount, &freeSize) != 0) return space;
  std::uint64_t usedSize = 0;
  Logger().WriteLog(QStringLiteral("CdvdWriter_GetDiscUsedSpace"));
  if (Emberline_CdvdWriter_GetDiscUsedSpace(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE, &b.SystemStatus,
                                            &b.FailureInfo, &usedSize) != 0)
    usedSize = 0;
  space.FreeSize = static_cast<std::int64_t>(freeSize);
  space.UsedSize = static_cast<std::int64_t>(usedSize);
  space.TotalSize = space.FreeSize + space.UsedSize;
  space.FreeCount = freeCount;
  return space;
}

}  // namespace

QString VideoTemplatePath(std::uint8_t kind) {
  const QString name = VideoTemplateName(kind);
  return name.isEmpty() ? QString() : platform::FileBesideExecutable(name);
}

void CheckBeforeVideoBurn(TsbBurner& b, std::uint8_t kind, const QString& source) {
  // Its refusals are recorded and logged already.
  CheckWriterCanBurn(b);
  try {
    // Here the type query stands for the disc information: a disc whose
    // information cannot be read answers DISC_TYPE_UNKNOWN.
    CheckDiscWritable(1, b.DiscType);
    b.DiscSpace = ReadDiscSpace(b);
    ThrowIfCancelled(b);
    CheckDiscBlank(b.DiscSpace);
    CheckDiscSuitsKind(kind, b.DiscType);
    CheckSourceFits(b.DiscSpace.FreeSize, source.isEmpty() ? 0 : SourceSize({source}));
    CheckSourceGiven(source);
    CheckSourceFileExists(kind, source);
    CheckTemplatePresent(VideoTemplatePath(kind));
  } catch (const TsbError& error) {
    b.LastMessage = error.Message();
    Logger().WriteLog(b.LastMessage);
    throw;
  }
}

}  // namespace ondrelle
