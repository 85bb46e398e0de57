#pragma once
// REPORT KEY format 08h: the drive's DVD region (RPC) state.

#include <cstdint>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

struct RpcState {
  std::uint8_t typeCode = 0;  ///< 0 none set, 1 set, 2 last change, 3 permanent
  std::uint8_t vendorResetsLeft = 0;
  std::uint8_t userChangesLeft = 0;
  std::uint8_t regionMask = 0;  ///< a clear bit marks a region the drive plays
  std::uint8_t rpcScheme = 0;   ///< 00h unknown (RPC-I), 01h RPC-II
};

Result<RpcState> reportRpcState(ScsiTransport& transport);

}  // namespace emberline::mmc
