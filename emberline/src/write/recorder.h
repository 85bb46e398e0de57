#pragma once
/// @file
/// Runs a disc plan through a strategy: one reader thread keeps a small ring
/// of buffers filled while the drive's buffer is fed in fixed chunks,
/// progress is reported, and a cancel or failure ends in the strategy's abort.

#include <cstddef>
#include <cstdint>

#include "core/result.h"
#include "write/disc_plan.h"
#include "write/recording_context.h"

namespace emberline::write {

/// Blocks per WRITE command: 64 KiB of Mode 1 data, two DVD ECC blocks.
inline constexpr std::uint32_t kChunkBlocks = 32;
/// The read-ahead ring: slots of this many blocks (16 WRITE commands)...
inline constexpr std::uint32_t kReadSlotBlocks = 16 * kChunkBlocks;
/// ...and this many of them: about 4 MiB of Mode 1 data, 4.6 MiB of raw sectors.
inline constexpr std::size_t kReadSlots = 4;
/// Buffer state is asked for after about this many bytes (it is a command of its own).
inline constexpr std::uint64_t kBufferReportBytes = 1024 * 1024;

/// Records @p plan. A cancel gives ErrorKind::Cancelled after the medium was left in a defined state.
Status record(RecordingContext& context, DiscPlan& plan);

}  // namespace emberline::write
