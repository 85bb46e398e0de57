#include "write/recorder.h"

#include <algorithm>
#include <future>
#include <vector>

#include "mmc/recording_commands.h"
#include "write/write_strategy.h"

namespace emberline::write {

namespace {

Unexpected cancelled() {
  return fail(ErrorKind::Cancelled, "the recording was cancelled");
}

bool cancelRequested(const RecordingContext& context) {
  return context.cancelled && context.cancelled();
}

/// Reads a track in chunks on a helper thread, one chunk ahead of the writer.
class ChunkReader {
 public:
  explicit ChunkReader(BlockSource& source) : source_(source), remaining_(source.blockCount()) {
    for (auto& b : buffers_) b.resize(std::size_t{kChunkBlocks} * source.blockSize());
    schedule();
  }
  ~ChunkReader() {
    if (pending_.valid()) pending_.wait();
  }
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  bool done() const { return !pending_.valid(); }

  /// The next chunk; valid until the following call.
  Result<std::span<const std::uint8_t>> next(std::uint32_t& blocks) {
    Status read = pending_.get();
    if (!read.ok()) return fail(std::move(read).error());
    blocks = pendingBlocks_;
    const std::size_t filled = current_;
    current_ ^= 1;
    schedule();
    return std::span<const std::uint8_t>(buffers_[filled].data(), std::size_t{blocks} * source_.blockSize());
  }

 private:
  void schedule() {
    if (remaining_ == 0) return;
    pendingBlocks_ = std::min(remaining_, kChunkBlocks);
    remaining_ -= pendingBlocks_;
    std::span<std::uint8_t> target(buffers_[current_].data(), std::size_t{pendingBlocks_} * source_.blockSize());
    pending_ = std::async(std::launch::async, [this, target] { return source_.read(target); });
  }

  BlockSource& source_;
  std::uint32_t remaining_;
  std::vector<std::uint8_t> buffers_[2];
  std::size_t current_ = 0;
  std::uint32_t pendingBlocks_ = 0;
  std::future<Status> pending_;
};

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
  for (std::size_t index = 0; index < plan.tracks.size(); ++index) {
    if (cancelRequested(context)) return cancelled();
    EMBERLINE_TRY(strategy.beginTrack(index));
    BlockSource& source = *plan.tracks[index].source;
    ChunkReader reader(source);
    while (!reader.done()) {
      if (cancelRequested(context)) return cancelled();
      std::uint32_t blocks = 0;
      auto chunk = reader.next(blocks);
      if (!chunk.ok()) return fail(std::move(chunk).error());
      EMBERLINE_TRY(strategy.writeData(*chunk, blocks));
      done += chunk->size();
      if (context.progress) context.progress(total, done);
      buffer.sent(chunk->size());
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
