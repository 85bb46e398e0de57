// FORMAT UNIT, READ DVD STRUCTURE and SEND DVD STRUCTURE: the structures of
// the medium itself rather than of what is recorded on it.
#include <algorithm>
#include <array>

#include "core/big_endian.h"
#include "transport/sense_codes.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {
namespace {

constexpr std::uint8_t kFormatData = 0x10;
constexpr std::uint8_t kFormatCodeMask = 0x07;
constexpr std::uint8_t kFormatCode = 0x01;
constexpr std::uint8_t kImmediate = 0x02;
constexpr std::uint8_t kFullFormatPlusRw = 0x26;
constexpr std::uint32_t kWholeMedium = 0xFFFFFFFF;

constexpr std::uint8_t kLayerBoundary = 0x20;
constexpr std::size_t kLayerBoundaryLength = 12;
constexpr std::uint8_t kBoundaryFixed = 0x80;

// DVD structures asked of a CD: the medium has none.
constexpr SenseData kCannotReadFormat{sense::key::kIllegalRequest, 0x30, 0x02};

}  // namespace

ScsiReply VirtualDrive::formatUnit(const ScsiCommand& c) {
  if (disc_->kind() != MediaKind::DvdPlusRw) return check(sense::kIncompatibleMedium);
  if ((c.cdb[1] & kFormatData) == 0 || (c.cdb[1] & kFormatCodeMask) != kFormatCode)
    return check(sense::kInvalidCdbField);
  if (c.direction != DataDirection::ToDevice || c.data.size() < 12) return check(sense::kParameterLengthError);
  const auto list = c.data.first(12);
  if (be::get16(list, 2) != 8) return check(sense::kParameterLengthError);
  const std::uint32_t blocks = be::get32(list, 4);
  const auto capacity = static_cast<std::uint32_t>(disc_->capacity());
  if ((list[8] >> 2) != kFullFormatPlusRw || blocks == 0 || (blocks != kWholeMedium && blocks > capacity))
    return check(sense::kInvalidParameterField);
  // A DVD+RW is always formatted whole; the host may write as soon as the
  // format has started, which an immediate format reports for a while.
  disc_->format();
  if (list[1] & kImmediate) formatPolls_ = longOperationPolls();
  return good(c);
}

ScsiReply VirtualDrive::readDvdStructure(const ScsiCommand& c) {
  if (disc_->traits().cd) return check(kCannotReadFormat);
  const std::uint8_t format = c.cdb[7];
  if (format != kLayerBoundary || disc_->traits().layers != 2) return check(sense::kInvalidCdbField);
  std::array<std::uint8_t, kLayerBoundaryLength> b{};
  be::put16(b, 0, kLayerBoundaryLength - 2);
  b[4] = disc_->layerBoundaryFixed() ? kBoundaryFixed : 0;
  be::put32(b, 8, static_cast<std::uint32_t>(disc_->layer0Capacity()));
  const std::size_t wanted = be::get16(c.cdb, 8);
  return good(c, std::span<const std::uint8_t>(b).first(std::min(wanted, b.size())));
}

ScsiReply VirtualDrive::sendDvdStructure(const ScsiCommand& c) {
  if (disc_->traits().cd) return check(kCannotReadFormat);
  if (c.cdb[7] != kLayerBoundary || disc_->traits().layers != 2) return check(sense::kInvalidCdbField);
  const std::size_t length = be::get16(c.cdb, 8);
  if (length < kLayerBoundaryLength || c.direction != DataDirection::ToDevice || c.data.size() < length)
    return check(sense::kParameterLengthError);
  // Layer 0's length is burnt into the lead-in with the first recording.
  if (disc_->layerBoundaryFixed()) return check(sense::kSequenceError);
  const auto blocks = static_cast<std::int32_t>(be::get32(c.data, 8));
  if (!disc_->setLayerBoundary(blocks)) return check(sense::kInvalidParameterField);
  return good(c);
}

}  // namespace emberline::virt
