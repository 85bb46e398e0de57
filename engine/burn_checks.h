#pragma once
// The checks made on the open writer before a burn starts: anything they
// refuse is refused before a block is written, with the reason in words.

#include <QStringList>
#include <cstdint>

#include "devices/device_records.h"
#include "emberline/disc_type.h"

namespace ondrelle {

class TsbBurner;

/// Reads the disc type into the session, then refuses (TsbError) a missing
/// or read-only disc, a burning mode or a test burn the drive and disc do
/// not take, and sources larger than the free space.
void CheckBeforeBurn(TsbBurner& burner, const QStringList& sources);

// The checks before a video burn, one per function, each raising TsbError
// with the text the wizard shows when its page is left. The wizard's pages
// and the CLI share them.

/// No disc, or a disc that cannot be written: "No writable disc is inserted".
void CheckWritableDisc(DISC_TYPE type);
/// A disc with anything on it: "Disc is not blank, burning is impossible!".
void CheckBlankDisc(const TsbDiscSpace& space);
/// A CD-R or CD-RW for a Video CD or Super Video CD, a writable DVD for
/// DVD-Video; `kind` is a TsbVideoKind.
void CheckDiscSuitsVideoKind(DISC_TYPE type, std::uint8_t kind);
/// The source must not be larger than the free space; equal fits.
void CheckSourceFitsDisc(std::int64_t freeSize, std::int64_t sourceSize);
/// A path is chosen and, for the two CD kinds, names an existing file.
void CheckVideoSourcePath(std::uint8_t kind, const QString& path);
/// The full path of the template the kind needs beside the program; empty
/// for DVD-Video, which needs none.
QString VideoTemplatePath(std::uint8_t kind);
/// The kind's template lies beside the program: "Can't find video template <path>".
void CheckVideoTemplate(std::uint8_t kind);

/// Everything above, in the order the wizard's pages check it, on the
/// session's open writer: reads the disc type and space into the session
/// first. `source` is the MPEG file or the VIDEO_TS folder.
void CheckBeforeVideoBurn(TsbBurner& burner, std::uint8_t kind, const QString& source);

}  // namespace ondrelle
