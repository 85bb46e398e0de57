#pragma once
// The checks made on the open writer before a burn starts: anything they
// refuse is refused before a block is written, with the reason in words.

#include <QStringList>
#include <cstdint>

#include "devices/device_records.h"
#include "emberline/disc_type.h"

namespace ondrelle {

class TsbBurner;

/// Asks whether the writer can burn (writer_readiness.h: ready, a disc,
/// not closed, a test burn it can simulate), then refuses (TsbError) a
/// read-only disc, a burning mode the drive and disc do not take, and
/// sources larger than the free space. A cancel raises TsbRunCancelled.
void CheckBeforeBurn(TsbBurner& burner, const QStringList& sources);

// The checks before a video burn live one per function in page_checks.h,
// shared by the wizard's pages and the CLI.

/// The full path of the template the kind needs beside the program; empty
/// for DVD-Video, which needs none.
QString VideoTemplatePath(std::uint8_t kind);
/// Whether the writer can burn (as for a data burn), then every video
/// check, in the order the wizard's pages check it, on the session's open
/// writer: reads the disc type and space into the session first. `source`
/// is the MPEG file or the VIDEO_TS folder. A cancel raises TsbRunCancelled.
void CheckBeforeVideoBurn(TsbBurner& burner, std::uint8_t kind, const QString& source);

}  // namespace ondrelle
