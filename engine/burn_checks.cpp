#include "engine/burn_checks.h"

#include <array>

#include "devices/disc_type_text.h"
#include "devices/library_result.h"
#include "emberline/cdvd_writer.h"
#include "engine/burner.h"
#include "engine/run_cancelled.h"
#include "engine/source_tree.h"
#include "engine/tsb_error.h"
#include "engine/writer_readiness.h"
#include "log/diagnostic_logger.h"

namespace ondrelle {

namespace {

constexpr std::array<const char*, 4> kModeNames = {"Track-At-Once", "Session-At-Once", "Disc-At-Once PQ",
                                                   "Disc-At-Once raw P-W"};

/// Which of the four probed write modes a burning mode needs.
int ProbedModeOf(std::uint8_t burnMode) {
  switch (burnMode) {
    case bmTAOFromTree:
    case bmTAOFromFile:
      return 0;
    case bmSAOFromTree:
    case bmSAOFromFile:
      return 1;
    case bmDAOPQFromTree:
    case bmDAOPQFromFile:
      return 2;
    case bmDAORawFromTree:
    case bmDAORawFromFile:
      return 3;
    default:
      return -1;
  }
}

[[noreturn]] void Refuse(TsbBurner& burner, const QString& message) {
  burner.LastMessage = message;
  Logger().WriteLog(message);
  throw TsbError(message);
}

void CheckWriteMode(TsbBurner& b, const QString& disc) {
  const int needed = ProbedModeOf(b.BurnMode);
  if (needed < 0) return;
  Logger().WriteLog(QStringLiteral("CdvdWriter_ProbeSupportedWriteModes"));
  std::array<std::uint8_t, 4> offered{};
  b.ExceptionCode = Emberline_CdvdWriter_ProbeSupportedWriteModes(b.Writer, b.ExceptionText.data(), EMBERLINE_TEXT_SIZE,
                                                                  &b.SystemStatus, &b.FailureInfo, &offered[0],
                                                                  &offered[1], &offered[2], &offered[3]);
  ThrowIfCancelled(b);
  if (b.ExceptionCode != 0)
    Refuse(b, EmberlineFailureText("CdvdWriter_ProbeSupportedWriteModes", b.ExceptionCode, b.SystemStatus,
                                   b.ExceptionText.data()));
  // The disc-at-once modes are CD modes, whatever the probe says of a DVD.
  if (IsDVDDiscType(b.DiscType)) offered[2] = offered[3] = 0;
  if (offered[static_cast<std::size_t>(needed)] != 0) return;
  QStringList takes;
  for (std::size_t m = 0; m < offered.size(); ++m)
    if (offered[m] != 0) takes << QLatin1String(kModeNames[m]);
  Refuse(b, takes.isEmpty() ? QStringLiteral("The %1 in the drive cannot be written %2, nor in any other mode")
                                  .arg(disc, QLatin1String(kModeNames[static_cast<std::size_t>(needed)]))
                            : QStringLiteral("The %1 in the drive cannot be written %2; it takes %3")
                                  .arg(disc, QLatin1String(kModeNames[static_cast<std::size_t>(needed)]),
                                       takes.join(QStringLiteral(" or "))));
}

}  // namespace

void CheckBeforeBurn(TsbBurner& b, const QStringList& sources) {
  CheckWriterCanBurn(b);
  const QString disc = DiscTypeToStr(b.DiscType);
  if (!IsWritableDiscType(b.DiscType))
    Refuse(b, QStringLiteral("The disc in the drive is a %1 and cannot be written").arg(disc));
  CheckWriteMode(b, disc);
  ThrowIfCancelled(b);

  std::uint32_t freeBlocks = 0;
  std::uint64_t freeBytes = 0;
  const auto needed = static_cast<std::uint64_t>(SourceSize(sources));
  const bool spaceRead = Emberline_CdvdWriter_GetDiscFreeSpace(b.Writer, 3, &freeBlocks, &freeBytes) == 0;
  ThrowIfCancelled(b);
  if (spaceRead && needed > freeBytes)
    Refuse(b, QStringLiteral("The sources (%1 bytes) will not fit into the %2 bytes free on the disc")
                  .arg(needed)
                  .arg(freeBytes));
}

}  // namespace ondrelle
