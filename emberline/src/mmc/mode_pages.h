#pragma once
// MODE SENSE(10) / MODE SELECT(10): fetching one mode page and sending it back.
// The typed pages (capabilities_page.h, write_parameters_page.h) sit on top.

#include <cstdint>
#include <span>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

enum class PageControl : std::uint8_t { Current = 0, Changeable = 1, Default = 2, Saved = 3 };

/// One mode page as the drive returned it: page code byte, length byte and body.
struct ModePage {
  std::uint8_t code = 0;
  std::vector<std::uint8_t> bytes;
};

/// MODE SENSE(10) for @p pageCode, block descriptors disabled. Fails with
/// NotSupported when the drive answers with a different page or none.
Result<ModePage> modeSense(ScsiTransport& transport, std::uint8_t pageCode, PageControl control = PageControl::Current);

/// MODE SELECT(10) with PF set: an 8-byte header with no block descriptor,
/// then @p page with its PS bit cleared (drives reject a set PS bit).
Status modeSelect(ScsiTransport& transport, std::span<const std::uint8_t> page);

}  // namespace emberline::mmc
