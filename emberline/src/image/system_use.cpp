#include "image/system_use.h"

#include <algorithm>

#include "image/both_endian.h"
#include "image/image_layout.h"

namespace emberline::image {

namespace {

constexpr std::size_t kContinuationBytes = 28;

}  // namespace

std::span<std::uint8_t> SystemUseEntries::add(const char (&signature)[3], std::size_t length) {
  const std::size_t at = bytes_.size();
  bytes_.resize(at + length, 0);
  bytes_[at] = static_cast<std::uint8_t>(signature[0]);
  bytes_[at + 1] = static_cast<std::uint8_t>(signature[1]);
  bytes_[at + 2] = static_cast<std::uint8_t>(length);
  bytes_[at + 3] = 1;
  ends_.push_back(static_cast<std::uint32_t>(bytes_.size()));
  return std::span(bytes_).subspan(at, length);
}

void ContinuationAreas::putContinuation(std::span<std::uint8_t> at, std::size_t offset, std::size_t length) const {
  at[0] = 'C';
  at[1] = 'E';
  at[2] = kContinuationBytes;
  at[3] = 1;
  putBoth32(at, 4, lba_ + static_cast<std::uint32_t>(offset / kBlockSize));
  putBoth32(at, 12, static_cast<std::uint32_t>(offset % kBlockSize));
  putBoth32(at, 20, static_cast<std::uint32_t>(length));
}

std::vector<std::uint8_t> ContinuationAreas::place(std::span<const std::uint8_t> fixed, const SystemUseEntries& entries,
                                                   std::size_t room) {
  const auto all = entries.bytes();
  const auto& ends = entries.ends();
  std::vector<std::uint8_t> inlineBytes(fixed.begin(), fixed.end());
  room = room > fixed.size() ? room - fixed.size() : 0;
  if (all.size() <= room) {
    inlineBytes.insert(inlineBytes.end(), all.begin(), all.end());
    return inlineBytes;
  }
  // The entries from `first` on that fit `space` bytes from byte `from` on.
  const auto fitting = [&](std::size_t first, std::size_t from, std::size_t space) {
    std::size_t last = first;
    while (last < ends.size() && ends[last] - from <= space) ++last;
    return last;
  };
  std::size_t next = fitting(0, 0, room >= kContinuationBytes ? room - kContinuationBytes : 0);
  std::size_t from = next == 0 ? 0 : ends[next - 1];
  inlineBytes.insert(inlineBytes.end(), all.begin(), all.begin() + static_cast<std::ptrdiff_t>(from));

  // Each area lies inside one block (readers take an area from one block);
  // one that goes on ends with a CE entry pointing at the start of the next block.
  struct Area {
    std::size_t from, until, offset, length;
  };
  std::vector<Area> areas;
  std::size_t offset = bytes_.size();
  while (next < ends.size()) {
    const std::size_t space = kBlockSize - offset % kBlockSize;
    const std::size_t last = all.size() - from <= space
                                 ? ends.size()
                                 : fitting(next, from, space >= kContinuationBytes ? space - kContinuationBytes : 0);
    if (last == next) {
      offset += space;  // not even one entry fits what is left of this block
      continue;
    }
    const std::size_t until = ends[last - 1];
    const bool goesOn = last < ends.size();
    areas.push_back(Area{from, until, offset, until - from + (goesOn ? kContinuationBytes : 0)});
    offset = goesOn ? (offset / kBlockSize + 1) * kBlockSize : offset + areas.back().length;
    next = last;
    from = until;
  }

  const std::size_t pointer = inlineBytes.size();
  inlineBytes.resize(pointer + kContinuationBytes);
  putContinuation(std::span(inlineBytes).subspan(pointer), areas.front().offset, areas.front().length);
  bytes_.resize(areas.back().offset + areas.back().length, 0);
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const Area& area = areas[i];
    std::copy(all.begin() + static_cast<std::ptrdiff_t>(area.from),
              all.begin() + static_cast<std::ptrdiff_t>(area.until),
              bytes_.begin() + static_cast<std::ptrdiff_t>(area.offset));
    if (i + 1 < areas.size())
      putContinuation(std::span(bytes_).subspan(area.offset + (area.until - area.from), kContinuationBytes),
                      areas[i + 1].offset, areas[i + 1].length);
  }
  return inlineBytes;
}

std::vector<std::uint8_t> ContinuationAreas::take() {
  std::vector<std::uint8_t> out = std::move(bytes_);
  out.resize(std::size_t{blocksFor(out.size())} * kBlockSize, 0);
  bytes_.clear();
  return out;
}

}  // namespace emberline::image
