#include "virtual/virtual_transport.h"

namespace emberline::virt {

Result<ScsiReply> VirtualTransport::execute(const ScsiCommand& command) {
  if (command.cdbLength == 0 || command.cdbLength > command.cdb.size())
    return fail(ErrorKind::InvalidArgument, "a SCSI command needs a CDB of 1 to 16 bytes");
  return drive_->execute(command, interruptor_);
}

std::string VirtualTransport::describe() const {
  return "virtual writer " + drive_->name();
}

}  // namespace emberline::virt
