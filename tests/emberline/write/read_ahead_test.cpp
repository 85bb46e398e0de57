// The recorder's read-ahead ring: order, track boundaries, bounded memory,
// one reader thread, and failures handed over in order.

#include "write/read_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

namespace emberline::write {
namespace {

using namespace std::chrono_literals;

// Block n of track t is filled with the byte t * 16 + n % 16, and its first
// four bytes hold n; reads are counted and the reading threads remembered.
class CountingSource : public BlockSource {
 public:
  CountingSource(std::uint8_t track, std::uint32_t blocks, std::size_t blockSize,
                 std::optional<std::uint32_t> failAt = std::nullopt)
      : track_(track), blocks_(blocks), blockSize_(blockSize), failAt_(failAt) {}
  std::size_t blockSize() const override { return blockSize_; }
  std::uint32_t blockCount() const override { return blocks_; }
  std::string describe() const override { return "test track"; }
  Status read(std::span<std::uint8_t> out) override {
    ++reads;
    {
      std::lock_guard lock(threadsMutex);
      threads.insert(std::this_thread::get_id());
    }
    const auto count = static_cast<std::uint32_t>(out.size() / blockSize_);
    if (failAt_ && next_ + count > *failAt_) return fail(ErrorKind::File, "cannot read the test track");
    for (std::uint32_t i = 0; i < count; ++i, ++next_) {
      auto block = out.subspan(std::size_t{i} * blockSize_, blockSize_);
      std::fill(block.begin(), block.end(), static_cast<std::uint8_t>(track_ * 16 + next_ % 16));
      std::memcpy(block.data(), &next_, sizeof next_);
    }
    return {};
  }

  std::atomic<int> reads{0};
  std::mutex threadsMutex;
  std::set<std::thread::id> threads;

 private:
  std::uint8_t track_;
  std::uint32_t blocks_;
  std::size_t blockSize_;
  std::optional<std::uint32_t> failAt_;
  std::uint32_t next_ = 0;
};

TEST(ReadAhead, HandsOverEveryBlockOfEveryTrackInOrderOnOneThread) {
  CountingSource first(1, 23, 2048), empty(2, 0, 2352), third(3, 7, 2352);
  ReadAhead reader({&first, &empty, &third}, 2, 5);
  std::uint32_t expected[4] = {0, 0, 0, 0};
  for (;;) {
    auto slice = reader.next();
    ASSERT_TRUE(slice.ok()) << slice.error().message;
    if (!*slice) break;
    const auto& s = **slice;
    ASSERT_NE(s.track, 1u) << "an empty track has no slices";
    const std::size_t blockSize = s.track == 0 ? 2048 : 2352;
    ASSERT_EQ(s.data.size(), s.blocks * blockSize);
    ASSERT_LE(s.blocks, 5u);
    for (std::uint32_t i = 0; i < s.blocks; ++i) {
      std::uint32_t n = 0;
      std::memcpy(&n, s.data.data() + i * blockSize, sizeof n);
      ASSERT_EQ(n, expected[s.track]++) << "track " << s.track;
      ASSERT_EQ(s.data[i * blockSize + 100], (s.track + 1) * 16 + n % 16);
    }
  }
  EXPECT_EQ(expected[0], 23u);
  EXPECT_EQ(expected[2], 7u);
  EXPECT_EQ(first.threads, third.threads);
  EXPECT_EQ(first.threads.size(), 1u);
  EXPECT_EQ(first.threads.count(std::this_thread::get_id()), 0u);
}

TEST(ReadAhead, ReadsNoMoreThanTheRingHoldsAheadOfTheWriter) {
  CountingSource source(0, 1000, 2048);
  ReadAhead reader({&source}, 3, 4);
  EXPECT_EQ(reader.bufferBytes(), 3u * 4 * 2048);
  std::this_thread::sleep_for(50ms);
  EXPECT_LE(source.reads.load(), 3);
  ASSERT_TRUE(reader.next().ok());  // holds one slot: still at most the ring
  std::this_thread::sleep_for(20ms);
  EXPECT_LE(source.reads.load(), 3);
  ASSERT_TRUE(reader.next().ok());  // gives the first back: one more may be read
  std::this_thread::sleep_for(20ms);
  EXPECT_LE(source.reads.load(), 4);
  // Leaving with the ring full must not hang the reader.
}

TEST(ReadAhead, AFailedReadComesAfterTheSlicesBeforeItAndStays) {
  CountingSource source(0, 40, 2048, 12);
  ReadAhead reader({&source}, 4, 4);
  for (int i = 0; i < 3; ++i) {
    auto slice = reader.next();
    ASSERT_TRUE(slice.ok() && *slice) << "slice " << i;
  }
  for (int i = 0; i < 2; ++i) {
    auto failed = reader.next();
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().message, "cannot read the test track");
  }
}

// The encoder copies each block's number into a larger block and tags it with
// its track and first block, so the writer can check what it was handed.
TEST(ReadAhead, EncodesTheTracksItIsToldOnTheReaderAndHandsOthersOverAsRead) {
  CountingSource plain(1, 9, 2048), coded(2, 11, 2048);
  std::mutex mutex;
  std::set<std::thread::id> encoders;
  ReadAhead::Encoding encoding;
  encoding.blockSizes = {0, 3000};
  encoding.encode = [&](std::size_t track, std::uint32_t first, std::span<const std::uint8_t> in,
                        std::span<std::uint8_t> out) {
    {
      std::lock_guard lock(mutex);
      encoders.insert(std::this_thread::get_id());
    }
    ASSERT_EQ(track, 1u);
    ASSERT_EQ(out.size(), in.size() / 2048 * 3000);
    for (std::size_t b = 0; b < in.size() / 2048; ++b) {
      std::memcpy(out.data() + b * 3000, in.data() + b * 2048, 4);
      out[b * 3000 + 2999] = static_cast<std::uint8_t>(first + b);
    }
  };
  ReadAhead reader({&plain, &coded}, 3, 4, std::move(encoding));
  EXPECT_EQ(reader.bufferBytes(), 3u * 4 * (2048 + 3000));
  std::uint32_t expected[2] = {0, 0};
  for (;;) {
    auto slice = reader.next();
    ASSERT_TRUE(slice.ok()) << slice.error().message;
    if (!*slice) break;
    const auto& s = **slice;
    const std::size_t blockSize = s.track == 0 ? 2048 : 3000;
    ASSERT_EQ(s.blockSize, blockSize);
    ASSERT_EQ(s.data.size(), s.blocks * blockSize);
    for (std::uint32_t i = 0; i < s.blocks; ++i) {
      std::uint32_t n = 0;
      std::memcpy(&n, s.data.data() + i * blockSize, sizeof n);
      ASSERT_EQ(n, expected[s.track]) << "track " << s.track;
      if (s.track == 1) {
        ASSERT_EQ(s.data[i * blockSize + 2999], n) << "the encoder was told the wrong first block";
      }
      ++expected[s.track];
    }
  }
  EXPECT_EQ(expected[0], 9u);
  EXPECT_EQ(expected[1], 11u);
  EXPECT_EQ(encoders, coded.threads);
  EXPECT_EQ(encoders.count(std::this_thread::get_id()), 0u);
}

}  // namespace
}  // namespace emberline::write
