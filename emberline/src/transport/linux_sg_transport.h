#pragma once
// The Linux transport: SCSI commands through the SG_IO ioctl on /dev/srN
// (or /dev/sgN). All ioctl use of the library stays in this file's source.

#include <memory>
#include <string>

#include "transport/scsi_transport.h"

namespace emberline {

/// How the device node is shared with other programs.
enum class OpenMode : std::uint8_t {
  Shared,     ///< queries: other programs may hold the drive at the same time
  Exclusive,  ///< a burning session: O_EXCL keeps mounts and other burners out
};

/// Owns an open device node and runs commands on it with SG_IO.
class LinuxSgTransport final : public ScsiTransport {
 public:
  /// Opens @p path and checks that it is an SG-capable CD/DVD device
  /// (peripheral device type 05h). Failures are ErrorKind::DeviceOpen with
  /// errno in systemError when the system gave one.
  static Result<std::unique_ptr<LinuxSgTransport>> open(const std::string& path, OpenMode mode);

  /// Only open() can make the key, so every object holds a checked device.
  class OpenKey {
    friend class LinuxSgTransport;
    OpenKey() = default;
  };
  LinuxSgTransport(OpenKey, int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~LinuxSgTransport() override;
  LinuxSgTransport(const LinuxSgTransport&) = delete;
  LinuxSgTransport& operator=(const LinuxSgTransport&) = delete;

  Result<ScsiReply> execute(const ScsiCommand& command) override;
  std::string describe() const override { return path_; }

 private:
  int fd_;
  std::string path_;
};

}  // namespace emberline
