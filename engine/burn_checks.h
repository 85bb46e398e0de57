#pragma once
// The checks made on the open writer before a burn starts: anything they
// refuse is refused before a block is written, with the reason in words.

#include <QStringList>

namespace ondrelle {

class TsbBurner;

/// Reads the disc type into the session, then refuses (TsbError) a missing
/// or read-only disc, a burning mode or a test burn the drive and disc do
/// not take, and sources larger than the free space.
void CheckBeforeBurn(TsbBurner& burner, const QStringList& sources);

}  // namespace ondrelle
