#include "verify/disc_verifier.h"

#include <algorithm>
#include <future>
#include <optional>
#include <span>
#include <utility>

#include "mmc/read_commands.h"

namespace emberline::verify {

namespace {

constexpr std::size_t kUserBlock = 2048;
constexpr std::size_t kRawBlock = 2352;
/// Blocks per read command: 64 KiB of user data, or 27 whole sectors (62 KiB).
constexpr std::uint32_t kUserBlocksPerRead = 32;
constexpr std::uint32_t kRawBlocksPerRead = 27;
/// The expected side is read this many commands ahead, on a thread of its own.
constexpr std::uint32_t kReadsPerChunk = 64;

// Where the parts of a whole sector lie.
constexpr std::size_t kModeByte = 15;
constexpr std::size_t kSubheaderAt = 16;
constexpr std::size_t kSubheaderSize = 8;
constexpr std::size_t kMode1DataAt = 16;
constexpr std::size_t kMode2DataAt = 24;
constexpr std::size_t kForm2DataSize = 2324;
constexpr std::uint8_t kForm2Submode = 0x20;

/// A part of a sector to compare: its offset in the block and its size.
struct Span {
  std::size_t at = 0;
  std::size_t size = 0;
  bool subheader = false;
};

/// The parts of a whole sector that carry what the host meant to write.
std::vector<Span> comparedParts(std::span<const std::uint8_t> expected) {
  if (expected[kModeByte] == 1) return {{kMode1DataAt, kUserBlock, false}};
  if (expected[kModeByte] == 2) {
    const bool form2 = (expected[kSubheaderAt + 2] & kForm2Submode) != 0;
    return {{kSubheaderAt, kSubheaderSize, true}, {kMode2DataAt, form2 ? kForm2DataSize : kUserBlock, false}};
  }
  return {{kMode1DataAt, kRawBlock - kMode1DataAt, false}};
}

/// The sector type READ CD is told to expect for @p sectors whole sectors of
/// what was written: their common type, or any when they differ.
mmc::ExpectedSector expectedType(std::span<const std::uint8_t> sectors) {
  std::optional<mmc::ExpectedSector> common;
  for (std::size_t at = 0; at + kRawBlock <= sectors.size(); at += kRawBlock) {
    const std::uint8_t mode = sectors[at + kModeByte];
    const mmc::ExpectedSector type = mode == 1   ? mmc::ExpectedSector::Mode1
                                     : mode != 2 ? mmc::ExpectedSector::Any
                                     : (sectors[at + kSubheaderAt + 2] & kForm2Submode) != 0
                                         ? mmc::ExpectedSector::Mode2Form2
                                         : mmc::ExpectedSector::Mode2Form1;
    if (common && *common != type) return mmc::ExpectedSector::Any;
    common = type;
  }
  return common.value_or(mmc::ExpectedSector::Any);
}

std::string where(const VerifyTrack& track, std::uint32_t block, std::size_t byteInData) {
  const std::optional<SectorOwner> owner = track.owner ? track.owner(block) : std::nullopt;
  if (!owner) return "in " + track.unowned;
  return (owner->structure ? "in " : "in file ") + owner->file + " at byte " +
         std::to_string(owner->offset + byteInData);
}

class TrackVerifier {
 public:
  TrackVerifier(VerifyContext& context, VerifyTrack& track, std::uint64_t total, std::uint64_t& done)
      : context_(context), track_(track), total_(total), done_(done) {}

  Status run() {
    write::BlockSource& source = *track_.source;
    const std::size_t blockSize = source.blockSize();
    if (blockSize != kUserBlock && blockSize != kRawBlock)
      return fail(ErrorKind::NotSupported, "blocks of " + std::to_string(blockSize) + " bytes cannot be read back");
    const std::uint32_t perRead = blockSize == kUserBlock ? kUserBlocksPerRead : kRawBlocksPerRead;
    const std::uint32_t perChunk = perRead * kReadsPerChunk;
    const std::uint32_t blocks = source.blockCount();
    std::vector<std::uint8_t> expected(std::size_t{perChunk} * blockSize);
    std::vector<std::uint8_t> ahead(expected.size());
    std::vector<std::uint8_t> actual(std::size_t{perRead} * blockSize);

    auto readExpected = [&source, blockSize](std::vector<std::uint8_t>& into, std::uint32_t count) {
      return source.read(std::span(into).first(std::size_t{count} * blockSize));
    };
    std::uint32_t first = 0;
    std::uint32_t count = std::min(perChunk, blocks);
    std::future<Status> next = std::async(std::launch::async, readExpected, std::ref(ahead), count);
    while (first < blocks) {
      Status loaded = next.get();
      if (!loaded.ok()) return loaded;
      std::swap(expected, ahead);
      const std::uint32_t following = first + count;
      const std::uint32_t followingCount = std::min(perChunk, blocks - following);
      if (followingCount > 0) next = std::async(std::launch::async, readExpected, std::ref(ahead), followingCount);
      Status compared = compareChunk(expected, first, count, perRead, actual);
      if (!compared.ok()) {
        if (next.valid()) next.wait();
        return compared;
      }
      first = following;
      count = followingCount;
    }
    return {};
  }

 private:
  Status compareChunk(std::span<const std::uint8_t> expected, std::uint32_t first, std::uint32_t count,
                      std::uint32_t perRead, std::vector<std::uint8_t>& actual) {
    const std::size_t blockSize = track_.source->blockSize();
    for (std::uint32_t at = 0; at < count; at += perRead) {
      if (context_.cancelled && context_.cancelled()) return fail(ErrorKind::Cancelled, "cancelled");
      const std::uint32_t n = std::min(perRead, count - at);
      const auto want = expected.subspan(std::size_t{at} * blockSize, std::size_t{n} * blockSize);
      EMBERLINE_TRY(readBack(first + at, n, want, actual));
      EMBERLINE_TRY(compare(want, std::span<const std::uint8_t>(actual).first(want.size()), first + at));
      done_ += want.size();
      if (context_.progress) context_.progress(total_, done_);
    }
    return {};
  }

  Result<std::size_t> readOnce(std::uint32_t block, std::uint32_t n, std::span<const std::uint8_t> want,
                               std::span<std::uint8_t> into) {
    const std::int32_t lba = track_.startLba + static_cast<std::int32_t>(block);
    if (track_.source->blockSize() == kUserBlock)
      return mmc::read10(context_.transport, lba, static_cast<std::uint16_t>(n), into);
    return mmc::readCdSectors(context_.transport, lba, n, into, expectedType(want));
  }

  /// Reads @p n blocks from @p block; a failing read is tried again block by
  /// block, so that a sector that stays unreadable is named exactly.
  Status readBack(std::uint32_t block, std::uint32_t n, std::span<const std::uint8_t> want,
                  std::span<std::uint8_t> into) {
    const std::size_t blockSize = track_.source->blockSize();
    auto whole = readOnce(block, n, want, into);
    if (whole.ok() && *whole >= n * blockSize) return {};
    for (std::uint32_t k = 0; k < n; ++k) {
      auto one = into.subspan(std::size_t{k} * blockSize, blockSize);
      Result<std::size_t> got = fail(ErrorKind::Internal, "not read");
      for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (context_.cancelled && context_.cancelled()) return fail(ErrorKind::Cancelled, "cancelled");
        got = readOnce(block + k, 1, want.subspan(std::size_t{k} * blockSize, blockSize), one);
        if (got.ok() && *got >= blockSize) break;
        if (got.ok()) got = fail(ErrorKind::Transport, "the drive returned a short block");
      }
      if (!got.ok()) {
        Error e = std::move(got).error();
        if (e.kind == ErrorKind::Cancelled) return fail(std::move(e));
        e.message = "sector " + std::to_string(track_.startLba + static_cast<std::int64_t>(block + k)) +
                    " cannot be read back after " + std::to_string(kReadAttempts) + " attempts, " +
                    where(track_, block + k, 0) + ": " + e.message;
        return fail(std::move(e));
      }
    }
    return {};
  }

  Status compare(std::span<const std::uint8_t> want, std::span<const std::uint8_t> got, std::uint32_t block) {
    if (std::equal(want.begin(), want.end(), got.begin())) return {};
    const std::size_t blockSize = track_.source->blockSize();
    for (std::size_t k = 0; k * blockSize < want.size(); ++k) {
      const auto e = want.subspan(k * blockSize, blockSize);
      const auto g = got.subspan(k * blockSize, blockSize);
      const std::vector<Span> parts =
          blockSize == kUserBlock ? std::vector<Span>{{0, kUserBlock, false}} : comparedParts(e);
      for (const Span& part : parts) {
        const auto ep = e.subspan(part.at, part.size);
        const auto gp = g.subspan(part.at, part.size);
        const auto [diff, unused] = std::mismatch(ep.begin(), ep.end(), gp.begin());
        if (diff == ep.end()) continue;
        const auto sector = track_.startLba + static_cast<std::int64_t>(block + k);
        const auto b = static_cast<std::uint32_t>(block + k);
        const auto byte = static_cast<std::size_t>(diff - ep.begin());
        return fail(ErrorKind::Mismatch, part.subheader
                                             ? "the disc differs from what was written: the subheader of sector " +
                                                   std::to_string(sector) + ", " + where(track_, b, 0)
                                             : "the disc differs from what was written at sector " +
                                                   std::to_string(sector) + ", " + where(track_, b, byte));
      }
    }
    return {};
  }

  VerifyContext& context_;
  VerifyTrack& track_;
  std::uint64_t total_;
  std::uint64_t& done_;
};

}  // namespace

Result<std::uint64_t> verifyTracks(VerifyContext& context, std::vector<VerifyTrack>& tracks) {
  std::uint64_t total = 0;
  std::uint64_t sectors = 0;
  for (const VerifyTrack& t : tracks) {
    total += std::uint64_t{t.source->blockCount()} * t.source->blockSize();
    sectors += t.source->blockCount();
  }
  std::uint64_t done = 0;
  if (context.progress) context.progress(total, done);
  for (VerifyTrack& track : tracks) EMBERLINE_TRY(TrackVerifier(context, track, total, done).run());
  return sectors;
}

}  // namespace emberline::verify
