#include "virtual/disc_layout.h"

#include <algorithm>

namespace emberline::virt {

DiscLayout::DiscLayout(MediaKind kind) : kind_(kind), traits_(traitsOf(kind)), capacity_(0) {
  setCapacity(traits_.capacity);
  // Restricted overwrite is a format: a DVD-RW in that mode has been formatted already.
  formatted_ = kind == MediaKind::DvdRwRestricted;
}

void DiscLayout::setCapacity(std::int32_t blocks) {
  capacity_ = blocks;
  if (traits_.layers == 2) layer0_ = layer0Maximum_ = blocks / 2;
}

bool DiscLayout::setLayerBoundary(std::int32_t blocks) {
  // The layers switch on an ECC block boundary; a host that asks for any other block has not
  // chosen where its data changes layer, and is told so rather than rounded up.
  if (traits_.layers != 2 || layerBoundaryFixed() || blocks <= 0 || blocks > layer0Maximum_ ||
      blocks % kDvdEccBlock != 0)
    return false;
  layer0_ = blocks;
  capacity_ = 2 * blocks;
  layerBoundarySet_ = true;
  return true;
}

void DiscLayout::format() {
  erase();
  formatted_ = true;
}

DiscStatus DiscLayout::status() const {
  if (finalized_) return DiscStatus::Complete;
  if (tracks_.empty()) return DiscStatus::Blank;
  return DiscStatus::Appendable;
}

std::int32_t DiscLayout::leadOutOf(int session) const {
  std::int32_t end = sessionStart(session);
  for (const Track& t : tracks_)
    if (t.session == session) end = std::max(end, t.start + t.extent());
  return end;
}

std::int32_t DiscLayout::sessionStart(int session) const {
  if (session <= 1) return 0;
  for (const Track& t : tracks_)
    if (t.session == session) return t.start;
  std::int32_t previousEnd = leadOutOf(session - 1);
  if (traits_.cd) return previousEnd + (session - 1 == 1 ? kCdFirstSessionGap : kCdLaterSessionGap);
  return (previousEnd + kDvdEccBlock - 1) / kDvdEccBlock * kDvdEccBlock;
}

Track* DiscLayout::openTrack() {
  int open = openSession();
  for (Track& t : tracks_)
    if (t.session == open && !t.closed) return &t;
  return nullptr;
}

const Track* DiscLayout::writingTrack() const {
  return const_cast<DiscLayout*>(this)->openTrack();
}

std::optional<DiscLayout::Invisible> DiscLayout::invisibleTrack() const {
  int open = openSession();
  if (open == 0) return std::nullopt;
  std::int32_t start = sessionStart(open);
  int number = tracks_.empty() ? 1 : tracks_.back().number + 1;
  if (!tracks_.empty() && tracks_.back().session == open) {
    const Track& last = tracks_.back();
    if (!last.closed && last.reserved == 0) return std::nullopt;  // the last track still grows
    start = last.start + last.extent();
  }
  return Invisible{number, start, std::max<std::int32_t>(0, capacity_ - start)};
}

std::optional<std::int32_t> DiscLayout::nextWritable() const {
  if (const Track* t = writingTrack()) {
    if (t->reserved == 0 || t->recorded < t->reserved) return t->end();
  }
  auto inv = invisibleTrack();
  if (!inv || inv->free == 0) return std::nullopt;
  return inv->start;
}

std::int32_t DiscLayout::freeBlocks() const {
  if (const Track* t = writingTrack(); t && t->reserved == 0) return std::max<std::int32_t>(0, capacity_ - t->end());
  auto inv = invisibleTrack();
  return inv ? inv->free : 0;
}

const Track* DiscLayout::trackAt(std::int32_t lba) const {
  for (const Track& t : tracks_)
    if (lba >= t.start && lba < t.end()) return &t;
  return nullptr;
}

const Track* DiscLayout::track(int number) const {
  for (const Track& t : tracks_)
    if (t.number == number) return &t;
  return nullptr;
}

std::int32_t DiscLayout::lastRecorded() const {
  std::int32_t last = -1;
  for (const Track& t : tracks_)
    if (t.recorded > 0) last = std::max(last, t.end() - 1);
  return last;
}

bool DiscLayout::record(std::int32_t lba, std::int32_t count, SectorLayout layout) {
  if (count <= 0) return true;
  if (traits_.randomWritable && !tracks_.empty() && lba < tracks_.back().end()) {
    Track& t = tracks_.back();
    if (lba < t.start) return false;
    t.recorded = std::max(t.recorded, lba + count - t.start);
    return t.end() <= capacity_;
  }
  auto nwa = nextWritable();
  if (!nwa || *nwa != lba || lba + count > capacity_) return false;
  Track* t = openTrack();
  if (t && (t->reserved == 0 || t->recorded < t->reserved)) {
    if (t->reserved > 0 && t->recorded + count > t->reserved) return false;
    t->recorded += count;
    return true;
  }
  auto inv = invisibleTrack();
  Track fresh;
  fresh.number = inv->number;
  fresh.session = openSession();
  fresh.start = inv->start;
  fresh.recorded = count;
  fresh.layout = layout;
  tracks_.push_back(fresh);
  return true;
}

void DiscLayout::setPregap(std::int32_t blocks) {
  if (Track* t = openTrack()) t->pregap = blocks;
}

bool DiscLayout::reserve(std::int32_t blocks) {
  auto inv = invisibleTrack();
  if (!inv || blocks <= 0 || blocks > inv->free) return false;
  Track fresh;
  fresh.number = inv->number;
  fresh.session = openSession();
  fresh.start = inv->start;
  fresh.reserved = blocks;
  tracks_.push_back(fresh);
  return true;
}

bool DiscLayout::closeTrack() {
  Track* t = openTrack();
  if (!t) return false;
  t->closed = true;
  return true;
}

bool DiscLayout::closeSession(bool leaveAppendable) {
  int open = openSession();
  if (open == 0) return false;
  bool any = false;
  for (Track& t : tracks_)
    if (t.session == open) {
      t.closed = true;
      any = true;
    }
  if (!any) return false;
  ++closedSessions_;
  if (!leaveAppendable) finalized_ = true;
  return true;
}

void DiscLayout::addClosedSession(std::int32_t blocks, SectorLayout layout) {
  Track t;
  t.number = tracks_.empty() ? 1 : tracks_.back().number + 1;
  t.session = closedSessions_ + 1;
  t.start = sessionStart(t.session);
  t.recorded = blocks;
  t.closed = true;
  t.layout = layout;
  tracks_.push_back(t);
  ++closedSessions_;
}

void DiscLayout::erase() {
  tracks_.clear();
  closedSessions_ = 0;
  finalized_ = false;
}

}  // namespace emberline::virt
