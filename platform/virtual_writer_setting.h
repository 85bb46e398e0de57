#pragma once
// The library reads which virtual writers to offer from the process's
// environment (ONDRELLE_VIRTUAL_WRITERS) when it starts.

namespace ondrelle::platform {

/// Has the library start without virtual writers in this process, whatever
/// the user configured: a run that needs no writer then neither reads their
/// configuration nor makes their folder.
void OfferNoVirtualWriters();

}  // namespace ondrelle::platform
