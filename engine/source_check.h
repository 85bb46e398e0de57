#pragma once
// The library's own check of a video source, made when the source is
// chosen rather than when the burn starts: the MPEG stream's kind and
// parameters for the two CD kinds, the VIDEO_TS structure for DVD-Video,
// and the disc's exact length in sectors. Its result is told in the user's
// words: what was found, or why the source cannot be burned and what to do.

#include <QString>
#include <cstdint>

namespace ondrelle {

struct TsbSourceCheck {
  enum class Outcome { Passed, Refused, Cancelled };
  Outcome Result = Outcome::Refused;
  std::uint8_t Kind = 0;  ///< a TsbVideoKind
  QString Path;
  /// Refused: one plain sentence of cause and remedy.
  QString Refusal;
  /// Refused: the library's own text, for the log.
  QString Detail;
  /// The state of the source when it was checked (size and time of change).
  QString Fingerprint;

  // Passed: what was found.
  int SystemVersion = 0;  ///< 1 or 2; 0 for a DVD-Video folder
  int Width = 0;
  int Height = 0;
  std::uint32_t FrameRateNumerator = 0;
  std::uint32_t FrameRateDenominator = 1;
  std::uint32_t PlayingMilliseconds = 0;
  std::int64_t Bytes = 0;         ///< the MPEG file, or the DVD-Video image
  std::uint64_t DiscSectors = 0;  ///< what the disc needs, as the burn lays it out

  bool Passed() const { return Result == Outcome::Passed; }
};

/// Checks `path` as the source of a disc of `kind` through the library
/// (which must be started). `cancel` may be null; a worker's owner sets it
/// (atomically) to stop a long MPEG check. Runs on any thread.
TsbSourceCheck CheckVideoSource(std::uint8_t kind, const QString& path, std::uint8_t* cancel = nullptr);

/// The size and time of change of a file, or of a folder and what is below
/// it: a source whose fingerprint changed must be checked again.
QString SourceFingerprint(const QString& path);

/// "MPEG-1, 352x288, 25 fps, 3 min 21 s, 612 MB: 88 % of the disc" of a
/// passed check; without the share when `freeSectors` is 0.
QString SourceDescription(const TsbSourceCheck& check, std::uint64_t freeSectors);

/// The refusal of a source that needs more sectors than the disc has free
/// ("... needs 1047 sectors but the disc has 512 free ..."); empty when it fits.
QString SectorShortageText(std::uint8_t kind, std::uint64_t needed, std::uint64_t freeSectors);

/// The library's refusal of a source (`code` its exception code, `text`
/// its text, which may start with the path) in one plain sentence of cause
/// and remedy.
QString PlainSourceRefusal(std::uint8_t kind, std::uint8_t code, const QString& text, const QString& path);

}  // namespace ondrelle
