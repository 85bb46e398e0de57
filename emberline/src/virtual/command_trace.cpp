#include "virtual/command_trace.h"

#include <cstdio>

namespace emberline::virt {

CommandTrace::CommandTrace(const std::string& path) {
  if (!path.empty()) out_.open(path, std::ios::app);
}

void CommandTrace::record(const ScsiCommand& command, const ScsiReply& reply) {
  if (!out_.is_open()) return;
  std::string line;
  char hex[4];
  for (std::size_t i = 0; i < command.cdbLength && i < command.cdb.size(); ++i) {
    std::snprintf(hex, sizeof hex, "%02x", command.cdb[i]);
    line += hex;
  }
  if (reply.good()) {
    line += " good";
  } else {
    char sense[24];
    std::snprintf(sense, sizeof sense, " check %02x/%02x/%02x", reply.sense.key, reply.sense.asc, reply.sense.ascq);
    line += sense;
  }
  out_ << line << '\n' << std::flush;
}

}  // namespace emberline::virt
