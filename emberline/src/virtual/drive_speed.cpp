// SET CD SPEED, SET STREAMING and GET PERFORMANCE: speeds settle on the
// configured table, and realtime writes take the time the speed implies.
#include <algorithm>

#include "core/big_endian.h"
#include "transport/sense_codes.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {

std::uint32_t VirtualDrive::settleWriteSpeed(std::uint32_t requested) const {
  if (config_.fixedSpeed) return *config_.fixedSpeed;
  const auto& table = config_.writeSpeeds;
  auto it = std::upper_bound(table.begin(), table.end(), requested);
  return it == table.begin() ? table.front() : *(it - 1);
}

std::chrono::microseconds VirtualDrive::writeDuration(std::int32_t blocks) const {
  double seconds;
  if (disc_ && disc_->traits().cd)
    seconds = blocks * 176.4 / (75.0 * writeSpeed_);  // 75 sectors/s at 1x (176.4 KB/s)
  else
    seconds = blocks * 2048.0 / (1000.0 * writeSpeed_);
  return std::chrono::microseconds(static_cast<std::int64_t>(seconds * 1e6));
}

ScsiReply VirtualDrive::setCdSpeed(const ScsiCommand& c) {
  std::uint16_t read = be::get16(c.cdb, 2);
  std::uint16_t write = be::get16(c.cdb, 4);
  readSpeed_ = config_.fixedSpeed.value_or(read == 0xFFFF ? config_.readSpeed
                                                          : std::min<std::uint32_t>(read, config_.readSpeed));
  writeSpeed_ = settleWriteSpeed(write == 0xFFFF ? 0xFFFFFFFF : write);
  return good(c);
}

ScsiReply VirtualDrive::setStreaming(const ScsiCommand& c) {
  if (c.cdb[8] != 0) return check(sense::kInvalidCdbField);
  std::uint16_t length = be::get16(c.cdb, 9);
  if (length < 28 || c.data.size() < 28) return check(sense::kParameterLengthError);
  auto d = c.data.first(28);
  std::uint32_t readSize = be::get32(d, 12), readTime = be::get32(d, 16);
  std::uint32_t writeSize = be::get32(d, 20), writeTime = be::get32(d, 24);
  if (readTime == 0 || writeTime == 0) return check(sense::kInvalidParameterField);
  auto rate = [](std::uint32_t size, std::uint32_t ms) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(std::uint64_t{size} * 1000 / ms, 0xFFFFFFFF));
  };
  readSpeed_ = config_.fixedSpeed.value_or(std::min(rate(readSize, readTime), config_.readSpeed));
  writeSpeed_ = settleWriteSpeed(rate(writeSize, writeTime));
  return good(c);
}

ScsiReply VirtualDrive::getPerformance(const ScsiCommand& c) {
  std::uint8_t type = c.cdb[10];
  std::uint16_t maxDescriptors = be::get16(c.cdb, 8);
  std::uint32_t end = disc_ ? static_cast<std::uint32_t>(disc_->capacity() - 1) : 0;
  std::vector<std::uint8_t> b(8, 0);
  auto add = [&](std::uint32_t f0, std::uint32_t f1, std::uint32_t f2, std::uint32_t f3) {
    if ((b.size() - 8) / 16 >= maxDescriptors) return;
    std::size_t at = b.size();
    b.resize(at + 16, 0);
    be::put32(b, at, f0), be::put32(b, at + 4, f1), be::put32(b, at + 8, f2), be::put32(b, at + 12, f3);
  };
  if (type == 0x03) {
    const auto& t = config_.writeSpeeds;
    if (config_.fixedSpeed)
      add(0, end, config_.readSpeed, *config_.fixedSpeed);
    else
      for (auto it = t.rbegin(); it != t.rend(); ++it) add(0, end, config_.readSpeed, *it);
  } else if (type == 0x00) {
    bool write = (c.cdb[1] & 0x04) != 0;
    b[4] = write ? 0x02 : 0;
    std::uint32_t speed = write ? writeSpeed_ : readSpeed_;
    add(0, speed, end, speed);
  } else {
    return check(sense::kInvalidCdbField);
  }
  be::put32(b, 0, static_cast<std::uint32_t>(b.size() - 4));
  return good(c, b);
}

}  // namespace emberline::virt
