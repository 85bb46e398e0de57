#pragma once
/// @file
/// Runs a disc plan through a strategy: the drive's buffer is kept fed in
/// fixed chunks while the next chunk is read, progress is reported, and a
/// cancel or failure ends in the strategy's abort.

#include <cstdint>

#include "core/result.h"
#include "write/disc_plan.h"
#include "write/recording_context.h"

namespace emberline::write {

/// Blocks per WRITE command: 64 KiB of Mode 1 data, two DVD ECC blocks.
inline constexpr std::uint32_t kChunkBlocks = 32;
/// Buffer state is asked for after about this many bytes (it is a command of its own).
inline constexpr std::uint64_t kBufferReportBytes = 1024 * 1024;

/// Records @p plan. A cancel gives ErrorKind::Cancelled after the medium was left in a defined state.
Status record(RecordingContext& context, DiscPlan& plan);

}  // namespace emberline::write
