#include "write/recorder.h"

#include <algorithm>
#include <vector>

#include "mmc/recording_commands.h"
#include "write/read_ahead.h"
#include "write/write_strategy.h"

namespace emberline::write {

namespace {

Unexpected cancelled() {
  return fail(ErrorKind::Cancelled, "the recording was cancelled");
}

bool cancelRequested(const RecordingContext& context) {
  return context.cancelled && context.cancelled();
}

class BufferReporter {
 public:
  explicit BufferReporter(RecordingContext& context) : context_(context) {}
  void sent(std::uint64_t bytes) {
    sinceReport_ += bytes;
    if (sinceReport_ < kBufferReportBytes || !context_.bufferState) return;
    sinceReport_ = 0;
    // A drive without READ BUFFER CAPACITY still records: the report is only for the display.
    if (auto capacity = mmc::readBufferCapacity(context_.transport); capacity.ok())
      context_.bufferState(capacity->bufferLength, capacity->blankLength);
  }

 private:
  RecordingContext& context_;
  std::uint64_t sinceReport_ = 0;
};

Status writeTracks(RecordingContext& context, DiscPlan& plan, WriteStrategy& strategy) {
  const std::uint64_t total = plan.totalBytes();
  std::uint64_t done = 0;
  BufferReporter buffer(context);
  EMBERLINE_TRY(strategy.start());
  std::vector<BlockSource*> sources;
  for (PlannedTrack& t : plan.tracks) sources.push_back(t.source.get());
  ReadAhead::Encoding encoding;
  for (std::size_t index = 0; index < plan.tracks.size(); ++index)
    encoding.blockSizes.push_back(strategy.encodedBlockSize(index));
  encoding.encode = [&strategy](std::size_t track, std::uint32_t first, std::span<const std::uint8_t> in,
                                std::span<std::uint8_t> out) { strategy.encode(track, first, in, out); };
  ReadAhead reader(std::move(sources), kReadSlots, kReadSlotBlocks, std::move(encoding));
  for (std::size_t index = 0; index < plan.tracks.size(); ++index) {
    if (cancelRequested(context)) return cancelled();
    EMBERLINE_TRY(strategy.beginTrack(index));
    std::uint32_t remaining = plan.tracks[index].source->blockCount();
    while (remaining > 0) {
      if (cancelRequested(context)) return cancelled();
      auto slice = reader.next();
      if (!slice.ok()) return fail(std::move(slice).error());
      if (!*slice || (*slice)->track != index || (*slice)->blocks > remaining)
        return fail(ErrorKind::Internal, "the track data came out of order");
      // A slice holds several WRITE commands' worth; a cancel is still seen between commands.
      const ReadAhead::Slice& data = **slice;
      const std::size_t blockSize = data.blockSize;
      for (std::uint32_t sent = 0; sent < data.blocks;) {
        if (cancelRequested(context)) return cancelled();
        const std::uint32_t blocks = std::min(kChunkBlocks, data.blocks - sent);
        const auto chunk = data.data.subspan(std::size_t{sent} * blockSize, std::size_t{blocks} * blockSize);
        EMBERLINE_TRY(strategy.writeData(chunk, blocks));
        sent += blocks;
        done += chunk.size();
        if (context.progress) context.progress(total, done);
        buffer.sent(chunk.size());
      }
      remaining -= data.blocks;
    }
    EMBERLINE_TRY(strategy.endTrack(index));
  }
  if (cancelRequested(context)) return cancelled();
  return strategy.finish();
}

}  // namespace

Status record(RecordingContext& context, DiscPlan& plan) {
  DriveSteps drive(context);
  EMBERLINE_TRY(drive.waitReady(true));
  auto medium = inspectMedium(context.drive);
  if (!medium.ok()) return fail(std::move(medium).error());
  auto strategy = chooseStrategy(plan, *medium, drive);
  if (!strategy.ok()) return fail(std::move(strategy).error());
  EMBERLINE_TRY((*strategy)->prepare(plan, *medium));
  if (cancelRequested(context)) {
    (*strategy)->abort();
    return cancelled();
  }
  Status written = writeTracks(context, plan, **strategy);
  if (written.ok()) return written;
  // The drive may report the interrupted command as aborted: the caller asked for it.
  Error error = cancelRequested(context) ? Error::make(ErrorKind::Cancelled, "the recording was cancelled")
                                         : std::move(written).error();
  // The cancel raised an interrupt on the transport; the closing commands must run.
  context.transport.clearInterrupt();
  (*strategy)->abort();
  return fail(std::move(error));
}

}  // namespace emberline::write
