#pragma once
// Where a virtual writer put the disc it recorded: the user has no tray to
// take it from, so the burn's end names the image file instead.

#include <QString>

#include "emberline/emberline.h"

namespace ondrelle {

/// The image file the virtual writer behind `writer` finished last (its
/// .cue for a CD, its .iso for a DVD); empty for a real drive, for no
/// writer, or before a virtual writer's first disc was ejected.
QString VirtualWriterImage(EmberlineHandle writer);

}  // namespace ondrelle
