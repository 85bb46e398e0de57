#pragma once
/// @file
/// Reads the tracks of a disc plan, front to back, on one thread that lives
/// as long as the recording, into a small ring of buffers the writer takes
/// in turn. Reading and writing overlap, and memory stays at the ring's size
/// whatever the size of the disc. Where the host builds the blocks the drive
/// is sent (whole CD sectors), the same thread encodes them, so the thread
/// that issues WRITE commands only writes.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <thread>
#include <vector>

#include "core/result.h"
#include "write/block_source.h"

namespace emberline::write {

class ReadAhead {
 public:
  /// One filled buffer: the next blocks of track `track`.
  struct Slice {
    std::size_t track = 0;
    std::uint32_t blocks = 0;
    std::size_t blockSize = 0;  ///< bytes per block in data
    std::span<const std::uint8_t> data;
  };

  /// Turns the source blocks of one slice into what the drive is sent: track
  /// @p track's blocks from block @p first on, @p in into @p out. Runs on the
  /// reader thread.
  using EncodeFn = std::function<void(std::size_t track, std::uint32_t first, std::span<const std::uint8_t> in,
                                      std::span<std::uint8_t> out)>;
  /// Per track, bytes per block after encoding; 0 hands the source's blocks over as read.
  struct Encoding {
    std::vector<std::size_t> blockSizes;
    EncodeFn encode;
  };

  /// Starts reading @p sources in order: @p slots buffers of @p slotBlocks
  /// blocks each. A track's last slice may be shorter; no slice spans two tracks.
  /// With @p encoding, the tracks it names are handed over encoded.
  ReadAhead(std::vector<BlockSource*> sources, std::size_t slots, std::uint32_t slotBlocks, Encoding encoding = {});
  /// Stops the reader (after the read it is in, if any) and waits for it.
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  /// The next slice, waiting for it if need be; the slice handed out before
  /// is given back to the reader. Nullopt once every track was handed out.
  /// A read failure is returned in order, after the slices read before it.
  Result<std::optional<Slice>> next();

  /// Bytes of buffer held, whatever the disc's size.
  std::size_t bufferBytes() const { return buffers_.size() * (slotBytes_ + encodedSlotBytes_); }

 private:
  struct Slot {
    Slice slice;
    std::optional<Error> error;
    bool end = false;
  };

  void run();
  /// Waits for a buffer neither published nor held; nullopt when stopping.
  std::optional<std::size_t> freeSlot();
  /// Hands a slot to the writer; false when stopping.
  bool publish(Slot slot);

  std::vector<BlockSource*> sources_;
  std::uint32_t slotBlocks_;
  std::size_t slotBytes_ = 0;
  Encoding encoding_;
  std::size_t encodedSlotBytes_ = 0;
  std::vector<std::vector<std::uint8_t>> buffers_;
  std::vector<std::vector<std::uint8_t>> encoded_;  ///< per slot, when a track is encoded

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> ring_;     ///< published slots, by buffer index
  std::size_t readIndex_ = 0;  ///< the next buffer the writer takes
  std::size_t filled_ = 0;     ///< published and not yet given back
  bool holding_ = false;       ///< the writer holds the slot before readIndex_
  bool stopping_ = false;
  std::thread reader_;
};

}  // namespace emberline::write
