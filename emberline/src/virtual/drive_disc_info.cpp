// READ DISC INFORMATION, READ TRACK INFORMATION, READ TOC, READ CAPACITY and
// READ(10): everything the host learns from the recorded layout.
#include <algorithm>
#include <array>

#include "core/big_endian.h"
#include "core/msf.h"
#include "sector/cd_sector.h"
#include "transport/sense_codes.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {
namespace {

constexpr std::int32_t kCdLeadInStart = -11625;  // ATIP lead-in 97:27:00
/// Sense 03/11/00: what a drive answers for a block it cannot read back.
constexpr SenseData kUnrecoveredRead{0x03, 0x11, 0x00};

void putAddress(std::vector<std::uint8_t>& b, std::size_t at, std::int32_t lba, bool msf) {
  if (!msf) {
    be::put32(b, at, static_cast<std::uint32_t>(lba));
    return;
  }
  Msf m = Msf::fromLba(lba);
  b[at] = 0;
  b[at + 1] = m.minute;
  b[at + 2] = m.second;
  b[at + 3] = m.frame;
}

}  // namespace

ScsiReply VirtualDrive::readDiscInformation(const ScsiCommand& c) {
  const DiscLayout& d = *disc_;
  std::vector<std::uint8_t> b(34, 0);
  be::put16(b, 0, 32);
  DiscStatus status = d.status();
  bool emptyOpenSession =
      status != DiscStatus::Complete && (d.tracks().empty() || d.tracks().back().session != d.openSession());
  std::uint8_t lastState = status == DiscStatus::Complete ? 3 : emptyOpenSession ? 0 : 1;
  b[2] = static_cast<std::uint8_t>((d.traits().erasable ? 0x10 : 0) | (lastState << 2) | static_cast<int>(status));
  b[3] = 1;
  int sessions = status == DiscStatus::Complete ? d.closedSessions() : d.openSession();
  int firstInLast = 1, lastInLast = 1;
  if (auto inv = d.invisibleTrack()) {
    lastInLast = inv->number;
    firstInLast = emptyOpenSession ? inv->number : d.tracks().back().number;
    for (const Track& t : d.tracks())
      if (t.session == d.openSession()) {
        firstInLast = t.number;
        break;
      }
  } else if (!d.tracks().empty()) {
    lastInLast = d.tracks().back().number;
    firstInLast = lastInLast;
    for (const Track& t : d.tracks())
      if (t.session == d.tracks().back().session) {
        firstInLast = t.number;
        break;
      }
  } else if (const Track* w = d.writingTrack()) {
    firstInLast = lastInLast = w->number;
  }
  if (const Track* w = d.writingTrack(); w && !d.invisibleTrack()) lastInLast = w->number;
  b[4] = static_cast<std::uint8_t>(sessions);
  b[5] = static_cast<std::uint8_t>(firstInLast);
  b[6] = static_cast<std::uint8_t>(lastInLast);
  // Unrestricted use; on DVD+RW the background format status: none yet, or complete.
  b[7] = static_cast<std::uint8_t>(0x20 | (d.traits().randomWritable && d.formatted() ? 0x03 : 0x00));
  b[8] = d.traits().cd ? params_.sessionFormat : 0;
  bool cd = d.traits().cd;
  if (status == DiscStatus::Complete) {
    be::put32(b, 16, 0xFFFFFFFF);
    be::put32(b, 20, 0xFFFFFFFF);
  } else {
    std::int32_t next = d.sessionStart(d.openSession());
    std::int32_t leadIn = cd ? (d.openSession() == 1 ? kCdLeadInStart : next - 4650) : next;
    putAddress(b, 16, leadIn, cd);
    putAddress(b, 20, d.capacity(), cd);
  }
  return good(c, b);
}

ScsiReply VirtualDrive::readTrackInformation(const ScsiCommand& c) {
  const DiscLayout& d = *disc_;
  std::uint8_t type = c.cdb[1] & 0x03;
  std::uint32_t address = be::get32(c.cdb, 2);
  std::vector<std::uint8_t> b(48, 0);
  be::put16(b, 0, 46);
  auto inv = d.invisibleTrack();
  const Track* t = nullptr;
  bool invisible = false;
  if (type == 1) {
    if (address == 0xFF || (inv && address == static_cast<std::uint32_t>(inv->number))) {
      if (inv)
        invisible = true;
      else if (const Track* w = d.writingTrack())
        t = w;
      else if (!d.tracks().empty())
        t = &d.tracks().back();
    } else {
      t = d.track(static_cast<int>(address));
    }
  } else if (type == 0) {
    auto lba = static_cast<std::int32_t>(address);
    t = d.trackAt(lba);
    if (!t && inv && lba >= inv->start) invisible = true;
    if (!t)
      if (const Track* w = d.writingTrack(); w && lba >= w->start) t = w;
  } else {
    return check(sense::kInvalidCdbField);
  }
  if (!t && !invisible) return check(sense::kInvalidCdbField);
  const bool dataMode2 = t && t->layout == SectorLayout::Mode2;
  if (invisible) {
    b[2] = static_cast<std::uint8_t>(inv->number);
    b[3] = static_cast<std::uint8_t>(d.openSession());
    b[5] = 0x04;
    b[6] = 0x40 | 0x01;
    b[7] = 0x01;
    be::put32(b, 8, static_cast<std::uint32_t>(inv->start));
    be::put32(b, 12, static_cast<std::uint32_t>(inv->start));
    be::put32(b, 16, static_cast<std::uint32_t>(inv->free));
    be::put32(b, 24, static_cast<std::uint32_t>(inv->free));
  } else {
    b[2] = static_cast<std::uint8_t>(t->number);
    b[3] = static_cast<std::uint8_t>(t->session);
    b[5] = t->layout == SectorLayout::Audio ? 0x00 : 0x04;
    b[6] = static_cast<std::uint8_t>((t->recorded == 0 ? 0x40 : 0) | (dataMode2 ? 0x02 : 0x01));
    std::int32_t size = t->closed ? t->extent() : (t->reserved ? t->reserved : t->recorded + d.freeBlocks());
    be::put32(b, 8, static_cast<std::uint32_t>(t->start));
    be::put32(b, 24, static_cast<std::uint32_t>(size));
    if (!t->closed) {
      b[7] = 0x01;
      be::put32(b, 12, static_cast<std::uint32_t>(t->end()));
      be::put32(b, 16, static_cast<std::uint32_t>(t->reserved ? t->reserved - t->recorded : d.freeBlocks()));
    }
    if (t->recorded > 0) {
      b[7] |= 0x02;
      be::put32(b, 28, static_cast<std::uint32_t>(t->end() - 1));
    }
  }
  return good(c, b);
}

// A disc without a closed session has no TOC; like most drives we refuse
// format 0/1/2 then with 5/24/00 rather than return an empty TOC.
ScsiReply VirtualDrive::readToc(const ScsiCommand& c) {
  const DiscLayout& d = *disc_;
  bool msf = (c.cdb[1] & 0x02) != 0;
  std::uint8_t format = c.cdb[2] & 0x0F;
  std::uint8_t startTrack = c.cdb[6];
  std::vector<std::uint8_t> b(4, 0);
  auto tocTracks = [&] {
    std::vector<const Track*> out;
    for (const Track& t : d.tracks())
      if (t.session <= d.closedSessions()) out.push_back(&t);
    return out;
  }();
  if (format == 4) {
    if (!d.traits().cd || !d.traits().recordable) return check(sense::kInvalidCdbField);
    b.resize(28, 0);
    be::put16(b, 0, 26);
    b[4] = 0x40 | 0x05;
    b[6] = static_cast<std::uint8_t>(0x80 | (d.traits().erasable ? 0x40 : 0));
    Msf in = Msf::fromLba(kCdLeadInStart), out = Msf::fromLba(d.capacity());
    b[8] = in.minute, b[9] = in.second, b[10] = in.frame;
    b[12] = out.minute, b[13] = out.second, b[14] = out.frame;
    return good(c, b);
  }
  if (tocTracks.empty() || format > 2) return check(sense::kInvalidCdbField);
  auto control = [](const Track* t) {
    return static_cast<std::uint8_t>(0x10 | (t->layout == SectorLayout::Audio ? 0 : 4));
  };
  int lastSession = d.closedSessions();
  if (format == 0) {
    b[2] = static_cast<std::uint8_t>(tocTracks.front()->number);
    b[3] = static_cast<std::uint8_t>(tocTracks.back()->number);
    if (startTrack > tocTracks.back()->number && startTrack != 0xAA) return check(sense::kInvalidCdbField);
    for (const Track* t : tocTracks) {
      if (t->number < startTrack) continue;
      std::size_t at = b.size();
      b.resize(at + 8, 0);
      b[at + 1] = control(t);
      b[at + 2] = static_cast<std::uint8_t>(t->number);
      putAddress(b, at + 4, t->start, msf);
    }
    std::size_t at = b.size();
    b.resize(at + 8, 0);
    b[at + 1] = control(tocTracks.back());
    b[at + 2] = 0xAA;
    putAddress(b, at + 4, d.leadOutOf(lastSession), msf);
  } else if (format == 1) {
    b[2] = 1;
    b[3] = static_cast<std::uint8_t>(lastSession);
    const Track* first = nullptr;
    for (const Track* t : tocTracks)
      if (t->session == lastSession) {
        first = t;
        break;
      }
    b.resize(12, 0);
    b[5] = control(first);
    b[6] = static_cast<std::uint8_t>(first->number);
    putAddress(b, 8, first->start, msf);
  } else {
    b[2] = 1;
    b[3] = static_cast<std::uint8_t>(lastSession);
    auto add = [&](int session, std::uint8_t adrCtl, std::uint8_t point, Msf at, Msf p, std::uint8_t zero = 0) {
      std::size_t o = b.size();
      b.resize(o + 11, 0);
      b[o] = static_cast<std::uint8_t>(session);
      b[o + 1] = adrCtl;
      b[o + 3] = point;
      b[o + 4] = at.minute, b[o + 5] = at.second, b[o + 6] = at.frame;
      b[o + 7] = zero;
      b[o + 8] = p.minute, b[o + 9] = p.second, b[o + 10] = p.frame;
    };
    for (int s = 1; s <= lastSession; ++s) {
      std::vector<const Track*> st;
      for (const Track* t : tocTracks)
        if (t->session == s) st.push_back(t);
      if (st.empty()) continue;
      std::uint8_t ctl = control(st.front());
      add(s, ctl, 0xA0, {}, Msf{static_cast<std::uint8_t>(st.front()->number), params_.sessionFormat, 0});
      add(s, ctl, 0xA1, {}, Msf{static_cast<std::uint8_t>(st.back()->number), 0, 0});
      add(s, ctl, 0xA2, {}, Msf::fromLba(d.leadOutOf(s)));
      for (const Track* t : st) add(s, ctl, static_cast<std::uint8_t>(t->number), {}, Msf::fromLba(t->start));
      if (d.traits().cd && d.traits().recordable && !(s == lastSession && d.finalized())) {
        std::int32_t next = s == lastSession ? d.sessionStart(s + 1) : d.sessionStart(s + 1);
        add(s, 0x50, 0xB0, Msf::fromLba(next), Msf::fromLba(d.capacity()), 1);
      }
    }
  }
  be::put16(b, 0, static_cast<std::uint16_t>(b.size() - 2));
  return good(c, b);
}

ScsiReply VirtualDrive::readCapacity(const ScsiCommand& c) {
  std::vector<std::uint8_t> b(8, 0);
  be::put32(b, 0, static_cast<std::uint32_t>(std::max<std::int32_t>(0, disc_->lastRecorded())));
  be::put32(b, 4, 2048);
  return good(c, b);
}

ScsiReply VirtualDrive::read10(const ScsiCommand& c) {
  auto lba = static_cast<std::int32_t>(be::get32(c.cdb, 2));
  std::uint16_t count = be::get16(c.cdb, 7);
  if (c.data.size() < std::size_t{count} * 2048) return check(sense::kInvalidCdbField);
  for (std::uint16_t i = 0; i < count; ++i) {
    std::int32_t at = lba + i;
    const Track* t = disc_->trackAt(at);
    if (!t || at < 0) return check(sense::kLbaOutOfRange);
    if (config_.hasFaultAt(FaultSpec::Kind::Unreadable, at)) return check(kUnrecoveredRead);
    auto out = std::span<std::uint8_t, 2048>(c.data.subspan(std::size_t{i} * 2048, 2048));
    if (image_->fromSource(at)) {
      if (!image_->readSource(at, out).ok()) return check({0x03, 0x11, 0x00});
      continue;
    }
    if (!image_->cd()) {
      if (!image_->read(at, out).ok()) return check({0x03, 0x11, 0x00});
      continue;
    }
    if (t->layout != SectorLayout::Mode1) return check(sense::kIllegalModeForTrack);
    std::array<std::uint8_t, sector::kRawSectorSize> raw{};
    if (!image_->read(at, raw).ok() || !sector::decodeMode1(raw, out)) return check({0x03, 0x11, 0x00});
  }
  ScsiReply r = good(c);
  r.transferred = std::size_t{count} * 2048;
  return r;
}

ScsiReply VirtualDrive::readCd(const ScsiCommand& c) {
  // Expected sector types (CDB byte 1, bits 2-4): 0 any, 2 Mode 1, 4 Mode 2 Form 1, 5 Mode 2 Form 2.
  constexpr std::uint8_t kAnyType = 0, kMode1Type = 2, kForm1Type = 4, kForm2Type = 5;
  constexpr std::uint8_t kWholeSector = 0xF8, kUserData = 0x10;
  const std::uint8_t expected = (c.cdb[1] >> 2) & 0x07;
  const auto lba = static_cast<std::int32_t>(be::get32(c.cdb, 2));
  const std::uint32_t count = be::get24(c.cdb, 6);
  const std::uint8_t flags = c.cdb[9];
  if (!disc_->traits().cd || image_->fromSource(lba)) return check(sense::kIllegalModeForTrack);
  if ((flags != kWholeSector && flags != kUserData) || c.cdb[10] != 0) return check(sense::kInvalidCdbField);
  if (expected != kAnyType && expected != kMode1Type && expected != kForm1Type && expected != kForm2Type)
    return check(sense::kInvalidCdbField);
  std::size_t at = 0;
  std::array<std::uint8_t, sector::kRawSectorSize> raw{};
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::int32_t sectorLba = lba + static_cast<std::int32_t>(i);
    const Track* t = disc_->trackAt(sectorLba);
    if (!t || sectorLba < 0) return check(sense::kLbaOutOfRange);
    if (t->layout == SectorLayout::Audio) return check(sense::kIllegalModeForTrack);
    if (config_.hasFaultAt(FaultSpec::Kind::Unreadable, sectorLba)) return check(kUnrecoveredRead);
    if (!image_->read(sectorLba, raw).ok()) return check({0x03, 0x11, 0x00});
    const bool mode2 = raw[15] == 2;
    const bool form2 = mode2 && (raw[18] & sector::submode::kForm2) != 0;
    const std::uint8_t type = !mode2 ? kMode1Type : form2 ? kForm2Type : kForm1Type;
    if (expected != kAnyType && expected != type) return check(sense::kIllegalModeForTrack);
    const std::size_t from = flags == kWholeSector ? 0 : mode2 ? 24 : 16;
    const std::size_t bytes = flags == kWholeSector ? sector::kRawSectorSize
                              : form2               ? sector::kForm2DataSize
                                                    : sector::kUserDataSize;
    if (c.data.size() < at + bytes) return check(sense::kInvalidCdbField);
    std::copy_n(raw.begin() + static_cast<std::ptrdiff_t>(from), bytes,
                c.data.begin() + static_cast<std::ptrdiff_t>(at));
    at += bytes;
  }
  ScsiReply r = good(c);
  r.transferred = at;
  return r;
}

}  // namespace emberline::virt
