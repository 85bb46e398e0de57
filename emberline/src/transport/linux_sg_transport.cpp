#include "transport/linux_sg_transport.h"

#include <fcntl.h>
#include <scsi/sg.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>

#include "transport/sense_parser.h"

namespace emberline {

namespace {

constexpr int kSenseBufferSize = 32;
constexpr std::uint8_t kCheckCondition = 0x02;
constexpr std::uint8_t kCdDvdDeviceType = 0x05;
// sg driver 3.0 introduced the sg_io_hdr interface.
constexpr int kMinimumSgVersion = 30000;

// Linux host and driver status values (the DID_* and DRIVER_* codes of the
// SCSI midlayer); the headers that define them are kernel-internal.
std::string hostStatusText(unsigned status) {
  switch (status) {
    case 0x01:
      return "no connection to the device";
    case 0x02:
      return "bus busy";
    case 0x03:
      return "command timed out";
    case 0x04:
      return "bad target";
    case 0x05:
      return "command aborted";
    case 0x06:
      return "parity error";
    case 0x07:
      return "host adapter error";
    case 0x08:
      return "bus reset";
    case 0x09:
      return "unexpected interrupt";
    case 0x0A:
      return "passed through";
    case 0x0B:
      return "soft error, retry requested";
    case 0x0C:
      return "immediate retry requested";
    case 0x0D:
      return "requeue requested";
    default:
      return "host status " + std::to_string(status);
  }
}

std::string driverStatusText(unsigned status) {
  switch (status) {
    case 0x01:
      return "driver busy";
    case 0x02:
      return "driver soft error";
    case 0x03:
      return "driver media error";
    case 0x04:
      return "driver error";
    case 0x05:
      return "invalid request";
    case 0x06:
      return "command timed out";
    case 0x07:
      return "driver hard error";
    default:
      return "driver status " + std::to_string(status);
  }
}

Error openError(const std::string& path, int err) {
  switch (err) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
      return Error::fromErrno(ErrorKind::DeviceOpen, "no such device " + path, err);
    case EACCES:
    case EPERM:
      return Error::fromErrno(ErrorKind::DeviceOpen,
                              "permission denied opening " + path + " (add yourself to the cdrom group)", err);
    case EBUSY:
      return Error::fromErrno(ErrorKind::DeviceOpen,
                              "device busy: " + path + " is in use by another program (a burn, or a mount)", err);
    default:
      return Error::fromErrno(ErrorKind::DeviceOpen, "cannot open " + path + ": " + std::strerror(err), err);
  }
}

Error notCdDvd(const std::string& path, int err = 0) {
  return Error::fromErrno(ErrorKind::DeviceOpen, path + " is not a CD/DVD device", err);
}

}  // namespace

Result<std::unique_ptr<LinuxSgTransport>> LinuxSgTransport::open(const std::string& path, OpenMode mode) {
  if (path.empty()) return fail(ErrorKind::InvalidArgument, "empty device path");
  // O_NONBLOCK: an sr node opened without it waits for (or fails on) a medium,
  // and a drive with an open tray must still answer INQUIRY.
  int flags = O_RDWR | O_NONBLOCK | O_CLOEXEC;
  if (mode == OpenMode::Exclusive) flags |= O_EXCL;
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) return fail(openError(path, errno));
  // From here the object owns fd, so every early return closes it.
  auto transport = std::make_unique<LinuxSgTransport>(OpenKey{}, fd, path);

  struct stat info {};
  if (::fstat(fd, &info) != 0) return fail(openError(path, errno));
  if (!S_ISCHR(info.st_mode) && !S_ISBLK(info.st_mode)) return fail(notCdDvd(path));

  int version = 0;
  if (::ioctl(fd, SG_GET_VERSION_NUM, &version) != 0) return fail(notCdDvd(path, errno));
  if (version < kMinimumSgVersion) return fail(notCdDvd(path));

  // Disks and tapes speak SG_IO too; only the peripheral type tells them apart.
  std::array<std::uint8_t, 36> inquiry{};
  ScsiCommand command;
  command.cdb = {0x12, 0, 0, 0, static_cast<std::uint8_t>(inquiry.size()), 0};
  command.cdbLength = 6;
  command.direction = DataDirection::FromDevice;
  command.data = inquiry;
  command.timeout = std::chrono::milliseconds(10000);
  auto reply = transport->execute(command);
  if (!reply.ok()) {
    Error e = reply.error();
    e.kind = ErrorKind::DeviceOpen;
    e.message = "cannot identify " + path + ": " + e.message;
    return fail(std::move(e));
  }
  if (!reply->good() || reply->transferred < 1 || (inquiry[0] & 0x1F) != kCdDvdDeviceType) return fail(notCdDvd(path));
  return transport;
}

LinuxSgTransport::~LinuxSgTransport() {
  ::close(fd_);
}

Result<ScsiReply> LinuxSgTransport::execute(const ScsiCommand& command) {
  if (command.cdbLength == 0 || command.cdbLength > command.cdb.size())
    return fail(ErrorKind::InvalidArgument, "invalid CDB length " + std::to_string(command.cdbLength));
  if (command.data.size() > std::numeric_limits<unsigned int>::max())
    return fail(ErrorKind::InvalidArgument, "transfer too large for SG_IO");
  if (command.direction != DataDirection::None && command.data.empty())
    return fail(ErrorKind::InvalidArgument, "data transfer requested without a buffer");

  std::array<unsigned char, 16> cdb{};
  std::copy(command.cdb.begin(), command.cdb.end(), cdb.begin());
  std::array<unsigned char, kSenseBufferSize> sense{};

  sg_io_hdr_t header{};
  header.interface_id = 'S';
  switch (command.direction) {
    case DataDirection::None:
      header.dxfer_direction = SG_DXFER_NONE;
      break;
    case DataDirection::FromDevice:
      header.dxfer_direction = SG_DXFER_FROM_DEV;
      break;
    case DataDirection::ToDevice:
      header.dxfer_direction = SG_DXFER_TO_DEV;
      break;
  }
  header.cmd_len = command.cdbLength;
  header.cmdp = cdb.data();
  if (command.direction != DataDirection::None) {
    header.dxfer_len = static_cast<unsigned int>(command.data.size());
    header.dxferp = command.data.data();
  }
  header.mx_sb_len = static_cast<unsigned char>(sense.size());
  header.sbp = sense.data();
  const auto timeoutMs = command.timeout.count();
  header.timeout = timeoutMs <= 0                                         ? 1u
                   : timeoutMs > std::numeric_limits<unsigned int>::max() ? std::numeric_limits<unsigned int>::max()
                                                                          : static_cast<unsigned int>(timeoutMs);

  if (::ioctl(fd_, SG_IO, &header) != 0) {
    const int err = errno;
    return fail(Error::fromErrno(ErrorKind::Transport, "SG_IO on " + path_ + " failed: " + std::strerror(err), err));
  }

  ScsiReply reply;
  reply.status = header.status;
  const std::size_t senseLength = std::min<std::size_t>(header.sb_len_wr, sense.size());
  if (senseLength > 0) reply.sense = parseSense(std::span<const std::uint8_t>(sense.data(), senseLength));

  // A command the device answered with sense is judged by its sense; host
  // and driver errors without sense mean no status came back at all.
  const bool haveSense = senseLength > 0 && reply.sense.key != 0;
  if (!haveSense) {
    if (header.host_status != 0)
      return fail(Error::make(ErrorKind::Transport, path_ + ": " + hostStatusText(header.host_status)));
    // The upper bits carry DRIVER_SENSE and the midlayer's suggestions, not errors.
    const unsigned driver = header.driver_status & 0x07u;
    if (driver != 0) return fail(Error::make(ErrorKind::Transport, path_ + ": " + driverStatusText(driver)));
  } else if (reply.status == 0x00) {
    // Some bridges deliver sense with a GOOD status; treat it as the check condition it is.
    reply.status = kCheckCondition;
  }

  const int resid = header.resid < 0 ? 0 : header.resid;
  const std::size_t length = command.direction == DataDirection::None ? 0 : command.data.size();
  reply.transferred = static_cast<std::size_t>(resid) >= length ? 0 : length - static_cast<std::size_t>(resid);
  return reply;
}

}  // namespace emberline
