#pragma once
// What the error box of a failed burn says: one plain sentence of cause and
// remedy. The library's call, codes and text go to the burning log as they
// are; the box only leads the user to what to do.

#include <QString>
#include <cstdint>

namespace ondrelle {

struct TsbPlainFailure {
  QString Sentence;
  /// The source was refused before anything was written: going back to the
  /// source page and choosing another one mends it.
  bool SourceAtFault = false;
};

/// `failure` as the run raised it (a library failure line
/// "Emberline_<call>() failed, exception %d, status %d, text "%s"", or a
/// text of the program's own, which is plain already); `kind` and `source`
/// are the video burn's.
TsbPlainFailure PlainBurnFailure(const QString& failure, std::uint8_t kind, const QString& source);

}  // namespace ondrelle
