#pragma once
// READ DVD STRUCTURE and SEND DVD STRUCTURE for the layer boundary of a
// two-layer recordable disc (format 20h).

#include <cstdint>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

struct LayerBoundary {
  /// Blocks of layer 0: the recording goes on in layer 1 from this address.
  std::uint32_t layer0Blocks = 0;
  /// The boundary is fixed (recording has begun); it can no longer be sent.
  bool fixed = false;
};

Result<LayerBoundary> readLayerBoundary(ScsiTransport& transport);

/// Moves the end of layer 0 to @p layer0Blocks; only before the first write.
Status sendLayerBoundary(ScsiTransport& transport, std::uint32_t layer0Blocks);

}  // namespace emberline::mmc
