#pragma once
// The write step of an image file: the image a file tree reads as, copied
// into the open target file in blocks of 64 KiB. Every image the program
// writes to a file (data, DVD-Video) goes through this one loop.

#include "emberline/emberline.h"

namespace ondrelle {

class TsbBurner;

/// Copies ImageCopy.Remaining bytes of `tree`'s image into ImageCopy's
/// FileHandle, reporting whole percentages (never 0 or 100) on the callback
/// eventer. A cancel stops it between blocks with BurnSucceeded still set.
/// A read or write failure raises TsbError, its text also in LastMessage.
void CopyImageToFile(TsbBurner& burner, EmberlineHandle tree);

}  // namespace ondrelle
