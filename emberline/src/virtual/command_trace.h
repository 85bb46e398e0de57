#pragma once
/// @file
/// A virtual writer's record of the commands it received, for tests that
/// check what the host sent: one line per command, appended to a file.

#include <fstream>
#include <string>

#include "transport/scsi_transport.h"

namespace emberline::virt {

class CommandTrace {
 public:
  /// An empty path records nothing.
  explicit CommandTrace(const std::string& path);

  /// Appends "<command block in hex> good" or "... check KK/AA/QQ". The
  /// line is flushed at once, so a reader sees it even if the process dies.
  void record(const ScsiCommand& command, const ScsiReply& reply);

 private:
  std::ofstream out_;
};

}  // namespace emberline::virt
