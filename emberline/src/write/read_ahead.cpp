#include "write/read_ahead.h"

#include <algorithm>
#include <utility>

namespace emberline::write {

ReadAhead::ReadAhead(std::vector<BlockSource*> sources, std::size_t slots, std::uint32_t slotBlocks, Encoding encoding)
    : sources_(std::move(sources)),
      slotBlocks_(std::max<std::uint32_t>(slotBlocks, 1)),
      encoding_(std::move(encoding)) {
  std::size_t blockSize = 0;
  for (const BlockSource* s : sources_) blockSize = std::max(blockSize, s->blockSize());
  slotBytes_ = std::size_t{slotBlocks_} * blockSize;
  encoding_.blockSizes.resize(sources_.size(), 0);
  if (!encoding_.encode) std::fill(encoding_.blockSizes.begin(), encoding_.blockSizes.end(), 0);
  std::size_t encodedBlock = 0;
  for (std::size_t size : encoding_.blockSizes) encodedBlock = std::max(encodedBlock, size);
  encodedSlotBytes_ = std::size_t{slotBlocks_} * encodedBlock;
  // One slot is with the writer, one with the reader; more absorb uneven speeds.
  buffers_.resize(std::max<std::size_t>(slots, 2));
  for (auto& b : buffers_) b.resize(slotBytes_);
  encoded_.resize(encodedSlotBytes_ > 0 ? buffers_.size() : 0);
  for (auto& b : encoded_) b.resize(encodedSlotBytes_);
  ring_.resize(buffers_.size());
  reader_ = std::thread([this] { run(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  reader_.join();
}

bool ReadAhead::publish(Slot slot) {
  std::lock_guard lock(mutex_);
  const std::size_t index = (readIndex_ + filled_) % ring_.size();
  ring_[index] = std::move(slot);
  ++filled_;
  changed_.notify_all();
  return !stopping_;
}

std::optional<std::size_t> ReadAhead::freeSlot() {
  // The writer's held slot and the published ones are taken.
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || filled_ + (holding_ ? 1 : 0) < ring_.size(); });
  if (stopping_) return std::nullopt;
  return (readIndex_ + filled_) % ring_.size();
}

void ReadAhead::run() {
  for (std::size_t track = 0; track < sources_.size(); ++track) {
    BlockSource& source = *sources_[track];
    const std::size_t encodedBlock = encoding_.blockSizes[track];
    std::uint32_t remaining = source.blockCount();
    while (remaining > 0) {
      const std::optional<std::size_t> index = freeSlot();
      if (!index) return;
      const std::uint32_t blocks = std::min(remaining, slotBlocks_);
      std::span<std::uint8_t> target(buffers_[*index].data(), std::size_t{blocks} * source.blockSize());
      Status read = source.read(target);
      if (!read.ok()) {
        publish(Slot{{}, std::move(read).error(), false});
        return;
      }
      const std::uint32_t first = source.blockCount() - remaining;
      remaining -= blocks;
      if (encodedBlock == 0) {
        if (!publish(Slot{{track, blocks, source.blockSize(), target}, std::nullopt, false})) return;
        continue;
      }
      // The slot's encoded buffer belongs to the same owner as its read buffer.
      std::span<std::uint8_t> out(encoded_[*index].data(), std::size_t{blocks} * encodedBlock);
      encoding_.encode(track, first, target, out);
      if (!publish(Slot{{track, blocks, encodedBlock, out}, std::nullopt, false})) return;
    }
  }
  if (freeSlot()) publish(Slot{{}, std::nullopt, true});
}

Result<std::optional<ReadAhead::Slice>> ReadAhead::next() {
  std::unique_lock lock(mutex_);
  if (holding_) {
    holding_ = false;
    changed_.notify_all();
  }
  changed_.wait(lock, [this] { return filled_ > 0; });
  Slot& slot = ring_[readIndex_];
  if (slot.error) return fail(*slot.error);
  if (slot.end) return std::optional<Slice>();
  const Slice slice = slot.slice;
  readIndex_ = (readIndex_ + 1) % ring_.size();
  --filled_;
  holding_ = true;
  return std::optional<Slice>(slice);
}

}  // namespace emberline::write
