#include "write/subchannel.h"

#include "core/msf.h"

namespace emberline::write {

namespace {
constexpr std::uint8_t kAdrPosition = 1;
constexpr std::uint16_t kCrcPolynomial = 0x1021;

void putMsf(std::uint8_t* at, std::int32_t frames) {
  at[0] = toBcd(static_cast<std::uint8_t>(frames / kFramesPerMinute));
  at[1] = toBcd(static_cast<std::uint8_t>((frames / kFramesPerSecond) % 60));
  at[2] = toBcd(static_cast<std::uint8_t>(frames % kFramesPerSecond));
}
}  // namespace

std::uint16_t crc16Ccitt(std::span<const std::uint8_t> bytes) {
  std::uint16_t crc = 0;
  for (std::uint8_t b : bytes) {
    crc = static_cast<std::uint16_t>(crc ^ (b << 8));
    for (int bit = 0; bit < 8; ++bit)
      crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ kCrcPolynomial : crc << 1);
  }
  return crc;
}

std::array<std::uint8_t, kQSize> encodeQ(const SectorPosition& position) {
  std::array<std::uint8_t, kQSize> q{};
  q[0] = static_cast<std::uint8_t>((position.control << 4) | kAdrPosition);
  q[1] = position.track == kLeadOutTrackNumber ? kLeadOutTrackNumber : toBcd(position.track);
  q[2] = toBcd(position.index);
  putMsf(&q[3], position.relative < 0 ? -position.relative : position.relative);
  q[6] = 0;
  putMsf(&q[7], position.lba + kMsfOffset);
  const std::uint16_t crc = static_cast<std::uint16_t>(~crc16Ccitt(std::span<const std::uint8_t>(q.data(), 10)));
  q[10] = static_cast<std::uint8_t>(crc >> 8);
  q[11] = static_cast<std::uint8_t>(crc);
  return q;
}

std::array<std::uint8_t, kPqBlockSize> encodePq(const SectorPosition& position) {
  std::array<std::uint8_t, kPqBlockSize> out{};
  const auto q = encodeQ(position);
  for (std::size_t i = 0; i < kQSize; ++i) out[i] = q[i];
  out[15] = position.pause ? 0x80 : 0x00;
  return out;
}

std::array<std::uint8_t, kPwBlockSize> encodePw(const SectorPosition& position) {
  std::array<std::uint8_t, kPwBlockSize> out{};
  const auto q = encodeQ(position);
  for (std::size_t symbol = 0; symbol < kPwBlockSize; ++symbol) {
    const bool qBit = (q[symbol / 8] >> (7 - symbol % 8)) & 1;
    out[symbol] = static_cast<std::uint8_t>((position.pause ? 0x80 : 0) | (qBit ? 0x40 : 0));
  }
  return out;
}

}  // namespace emberline::write
