#pragma once
// Which family of operating system the program runs on, as the transport
// page asks it: the family decides which way of reaching the drives is
// offered first.

namespace ondrelle::platform {

/// -1 when the system cannot be asked, 0 for a system that offers only
/// the address-based transport, 1 for one where devices are opened by name.
/// Linux opens its drives by device node, so it answers 1.
int GetPlatformKind();

}  // namespace ondrelle::platform
