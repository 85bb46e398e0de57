#pragma once
// Responses whose size the drive announces in a header: ask for the header,
// then ask again for exactly what it announced.

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

/// How a response declares its own size.
struct LengthField {
  std::size_t offset = 0;  ///< where the big-endian length starts
  std::size_t width = 2;   ///< 2 or 4 bytes
  /// Bytes not counted by the field: the field itself in every MMC response that uses one.
  std::size_t uncounted() const { return offset + width; }
};

/// Builds the command for one attempt; the allocation length goes into the CDB.
using CommandBuilder = std::function<ScsiCommand(std::span<std::uint8_t> buffer)>;

/// Reads a variable-length response of at most @p cap bytes. The result holds
/// only the bytes both announced and transferred.
Result<std::vector<std::uint8_t>> readVariableLength(ScsiTransport& transport, const CommandBuilder& build,
                                                     LengthField field, std::size_t firstAllocation, std::size_t cap,
                                                     std::string_view name);

}  // namespace emberline::mmc
