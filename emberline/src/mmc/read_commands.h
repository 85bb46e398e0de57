#pragma once
// READ CAPACITY and READ(10): the recorded size and user data of a medium.

#include <cstdint>
#include <span>

#include "transport/scsi_transport.h"

namespace emberline::mmc {

struct Capacity {
  std::uint32_t lastLba = 0;
  std::uint32_t blockLength = 0;
  std::uint64_t blocks() const { return std::uint64_t{lastLba} + 1; }
};

Result<Capacity> readCapacity(ScsiTransport& transport);

/// READ(10) of @p blocks blocks of @p blockLength bytes from @p lba into @p out,
/// which must hold them all. Returns the bytes transferred.
Result<std::size_t> read10(ScsiTransport& transport, std::int32_t lba, std::uint16_t blocks,
                           std::span<std::uint8_t> out, std::size_t blockLength = 2048);

/// The sector types READ CD may be told to expect (CDB byte 1, bits 2-4).
enum class ExpectedSector : std::uint8_t { Any = 0, Mode1 = 2, Mode2Form1 = 4, Mode2Form2 = 5 };

/// READ CD of @p blocks whole 2352-byte sectors (sync, header, subheader,
/// user data, EDC and ECC) from @p lba into @p out, which must hold them all.
/// Returns the bytes transferred.
Result<std::size_t> readCdSectors(ScsiTransport& transport, std::int32_t lba, std::uint32_t blocks,
                                  std::span<std::uint8_t> out, ExpectedSector expected = ExpectedSector::Any);

}  // namespace emberline::mmc
