#include "virtual/iso_volume.h"

#include <algorithm>
#include <cstring>

namespace emberline::virt {
namespace {

constexpr std::int32_t kPvdBlock = 16;
constexpr std::int32_t kTerminatorBlock = 17;
constexpr std::int32_t kLTableBlock = 18;
constexpr std::int32_t kMTableBlock = 19;
constexpr std::int32_t kRootBlock = 20;
constexpr std::uint32_t kPathTableSize = 10;
constexpr std::uint8_t kRecordLength = 34;

void le32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void be32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[3 - i] = static_cast<std::uint8_t>(v >> (8 * i));
}
void both32(std::uint8_t* p, std::uint32_t v) {
  le32(p, v);
  be32(p + 4, v);
}
void both16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
  p[2] = p[1];
  p[3] = p[0];
}
void spaces(std::uint8_t* p, std::size_t n) {
  std::memset(p, ' ', n);
}

// 2026-01-01 00:00:00 GMT: pre-recorded content is synthetic, so a fixed stamp keeps images reproducible.
void recordingDate(std::uint8_t* p) {
  const std::uint8_t date[7] = {126, 1, 1, 0, 0, 0, 0};
  std::memcpy(p, date, 7);
}
void volumeDate(std::uint8_t* p, bool set) {
  std::memcpy(p, set ? "2026010100000000" : "0000000000000000", 16);
  p[16] = 0;
}

void directoryRecord(std::uint8_t* p, std::uint32_t extent, std::uint8_t name) {
  p[0] = kRecordLength;
  both32(p + 2, extent);
  both32(p + 10, kIsoBlockSize);
  recordingDate(p + 18);
  p[25] = 0x02;  // directory
  both16(p + 28, 1);
  p[32] = 1;
  p[33] = name;
}

void primaryDescriptor(std::uint8_t* p, std::int32_t start, std::int32_t blocks, std::string_view label) {
  p[0] = 1;
  std::memcpy(p + 1, "CD001", 5);
  p[6] = 1;
  spaces(p + 8, 32);
  spaces(p + 40, 32);
  for (std::size_t i = 0; i < std::min<std::size_t>(label.size(), 32); ++i) {
    char c = label[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    bool dChar = (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    p[40 + i] = static_cast<std::uint8_t>(dChar ? c : '_');
  }
  both32(p + 80, static_cast<std::uint32_t>(start + blocks));
  both16(p + 120, 1);
  both16(p + 124, 1);
  both16(p + 128, kIsoBlockSize);
  both32(p + 132, kPathTableSize);
  le32(p + 140, static_cast<std::uint32_t>(start + kLTableBlock));
  be32(p + 148, static_cast<std::uint32_t>(start + kMTableBlock));
  directoryRecord(p + 156, static_cast<std::uint32_t>(start + kRootBlock), 0);
  spaces(p + 190, 623);  // volume set .. bibliographic identifiers
  volumeDate(p + 813, true);
  volumeDate(p + 830, true);
  volumeDate(p + 847, false);
  volumeDate(p + 864, false);
  p[881] = 1;
}

}  // namespace

void minimalIsoBlock(std::int32_t index, std::int32_t volumeStart, std::int32_t volumeBlocks, std::string_view label,
                     std::span<std::uint8_t, kIsoBlockSize> out) {
  std::fill(out.begin(), out.end(), 0);
  std::uint8_t* p = out.data();
  auto root = static_cast<std::uint32_t>(volumeStart + kRootBlock);
  switch (index) {
    case kPvdBlock:
      primaryDescriptor(p, volumeStart, volumeBlocks, label);
      break;
    case kTerminatorBlock:
      p[0] = 0xFF;
      std::memcpy(p + 1, "CD001", 5);
      p[6] = 1;
      break;
    case kLTableBlock:
    case kMTableBlock:
      p[0] = 1;
      if (index == kLTableBlock) {
        le32(p + 2, root);
        p[6] = 1;
      } else {
        be32(p + 2, root);
        p[7] = 1;
      }
      break;
    case kRootBlock:
      directoryRecord(p, root, 0);
      directoryRecord(p + kRecordLength, root, 1);
      break;
    default:
      break;
  }
}

}  // namespace emberline::virt
