// WRITE(10) and the commands around it: cue sheet, reservation, cache,
// closing, blanking, OPC and the buffer model.
#include <algorithm>
#include <array>

#include "core/big_endian.h"
#include "core/msf.h"
#include "sector/cd_sector.h"
#include "transport/sense_codes.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {
namespace {
// How many TEST UNIT READY answers a long operation (an immediate flush,
// close or blank) gives "in progress" for. A drive in real time takes a
// while to finish, like a real one; otherwise the work is already done and a
// single answer keeps the host honest about waiting without costing it time.
constexpr int kRealtimeLongOperationPolls = 3;
constexpr int kLongOperationPolls = 1;
// A DVD+RW takes no data before it has been formatted.
constexpr SenseData kUnformatted{sense::key::kMediumError, 0x31, 0x00};

// A raw data block says its own mode: a sync field, then the header's last
// byte. Mode 1 data written raw is a Mode 1 track, whatever the write
// parameters' track mode says.
bool rawMode1(std::span<const std::uint8_t> block) {
  static constexpr std::array<std::uint8_t, 12> kSync = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                         0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
  return block.size() >= 2352 && std::equal(kSync.begin(), kSync.end(), block.begin()) && block[15] == 1;
}
}  // namespace

int VirtualDrive::longOperationPolls() const {
  return config_.realtime ? kRealtimeLongOperationPolls : kLongOperationPolls;
}

std::size_t VirtualDrive::hostBlockSize(std::int32_t lba) const {
  if (!disc_->traits().cd) return 2048;
  if (params_.writeType == 2 && !cue_.empty()) {
    std::uint8_t form = cue_.front().dataForm;
    for (const CueTrack& t : cue_)
      if (lba >= t.pregapStart) form = t.dataForm;
    switch (form & 0x3F) {
      case 0x00:
      case 0x11:
      case 0x21:
      case 0x31:
        return 2352;
      case 0x20:
      case 0x30:
        return 2336;
      default:
        return 2048;
    }
  }
  switch (params_.dataBlockType) {
    case 0:
      return 2352;
    case 1:
      return 2368;  // raw with 16 bytes of P-Q subchannel
    case 2:
    case 3:
      return 2448;  // raw with 96 bytes of P-W subchannel
    case 9:
      return 2336;
    case 12:
      return 2324;
    case 13:
      return 2332;
    default:
      return 2048;
  }
}

void VirtualDrive::encodeBlock(std::int32_t lba, Bytes block,
                               std::span<std::uint8_t, sector::kRawSectorSize> raw) const {
  switch (block.size()) {
    case 2352:
    case 2368:
    case 2448:
      // The image keeps the main channel; the subchannel the host computed is not stored.
      std::copy_n(block.begin(), raw.size(), raw.begin());
      break;
    case 2336:
      sector::encodeMode2Formless(lba, std::span<const std::uint8_t, 2336>(block), raw);
      break;
    case 2324:
      sector::encodeMode2Form2(lba, {0, 0, sector::submode::kForm2, 0}, std::span<const std::uint8_t, 2324>(block),
                               raw);
      break;
    case 2332: {
      sector::Subheader sh{block[0], block[1], block[2], block[3]};
      sector::encodeMode2Form2(lba, sh, std::span<const std::uint8_t, 2324>(block.subspan(8)), raw);
      break;
    }
    default:
      if (params_.dataBlockType == 10)
        sector::encodeMode2Form1(lba, {0, 0, sector::submode::kData, 0}, std::span<const std::uint8_t, 2048>(block),
                                 raw);
      else
        sector::encodeMode1(lba, std::span<const std::uint8_t, 2048>(block), raw);
  }
}

Status VirtualDrive::storeBlocks(std::int32_t lba, std::int32_t count, Bytes data, std::size_t blockSize) {
  // One call to the image file per command: per-block writes cost a system call each.
  const auto blocks = static_cast<std::size_t>(count);
  if (!disc_->traits().cd) {
    EMBERLINE_TRY(image_->write(lba, data.first(blocks * blockSize)));
  } else {
    batch_.resize(blocks * sector::kRawSectorSize);
    for (std::size_t i = 0; i < blocks; ++i)
      encodeBlock(lba + static_cast<std::int32_t>(i), data.subspan(i * blockSize, blockSize),
                  std::span<std::uint8_t, sector::kRawSectorSize>(batch_.data() + i * sector::kRawSectorSize,
                                                                  sector::kRawSectorSize));
    EMBERLINE_TRY(image_->write(lba, batch_));
  }
  for (const FaultSpec& f : config_.faults)
    if ((f.kind == FaultSpec::Kind::Corrupt || f.kind == FaultSpec::Kind::CorruptSubheader) && f.lba >= lba &&
        f.lba < lba + count)
      EMBERLINE_TRY(corruptRecorded(f.lba, f.kind == FaultSpec::Kind::CorruptSubheader));
  return {};
}

Status VirtualDrive::corruptRecorded(std::int32_t lba, bool subheader) {
  // A drive that records wrong bytes with sound error correction: the sector
  // reads back without complaint, only its contents differ.
  constexpr std::size_t kChangedByte = 100;
  if (!disc_->traits().cd) {
    std::array<std::uint8_t, 2048> block{};
    EMBERLINE_TRY(image_->read(lba, block));
    block[kChangedByte] ^= 0xFF;
    return image_->write(lba, block);
  }
  std::array<std::uint8_t, sector::kRawSectorSize> raw{};
  EMBERLINE_TRY(image_->read(lba, raw));
  const sector::SectorInfo info = sector::inspect(raw);
  if (info.kind == sector::SectorKind::Mode1) {
    std::array<std::uint8_t, sector::kUserDataSize> user{};
    if (sector::decodeMode1(raw, user)) {
      user[kChangedByte] ^= 0xFF;
      sector::encodeMode1(lba, user, raw);
    }
  } else if (info.kind == sector::SectorKind::Mode2Form1) {
    std::array<std::uint8_t, sector::kUserDataSize> user{};
    sector::Subheader header = info.subheader;
    if (sector::decodeMode2Form1(raw, user)) {
      if (subheader)
        header.channel ^= 0x1F;
      else
        user[kChangedByte] ^= 0xFF;
      sector::encodeMode2Form1(lba, header, user, raw);
    }
  } else if (info.kind == sector::SectorKind::Mode2Form2) {
    std::array<std::uint8_t, sector::kForm2DataSize> user{};
    sector::Subheader header = info.subheader;
    const bool zeroEdc = raw[2348] == 0 && raw[2349] == 0 && raw[2350] == 0 && raw[2351] == 0;
    if (sector::decodeMode2Form2(raw, user)) {
      if (subheader)
        header.channel ^= 0x1F;
      else
        user[kChangedByte] ^= 0xFF;
      sector::encodeMode2Form2(lba, header, user, raw, zeroEdc ? sector::Form2Edc::Zero : sector::Form2Edc::Computed);
    }
  } else {
    raw[sector::kSyncHeaderSize + kChangedByte] ^= 0xFF;
  }
  return image_->write(lba, raw);
}

void VirtualDrive::drainBuffer() {
  auto now = std::chrono::steady_clock::now();
  if (!config_.realtime) {
    bufferFill_ = 0;
  } else {
    auto us = std::chrono::duration_cast<std::chrono::microseconds>(now - bufferStamp_).count();
    std::uint64_t drained = static_cast<std::uint64_t>(us) * writeSpeed_ / 1000;  // KB/s = bytes/ms
    bufferFill_ = drained >= bufferFill_ ? 0 : bufferFill_ - drained;
  }
  bufferStamp_ = now;
}

void VirtualDrive::endTestWrite() {
  if (beforeTest_) {
    disc_ = std::move(beforeTest_);
    beforeTest_.reset();
  }
}

ScsiReply VirtualDrive::write10(const ScsiCommand& c, Interruptor& interruptor, std::unique_lock<std::mutex>& lock) {
  if (config_.hasFault(FaultSpec::Kind::NotReady)) return check(sense::kNotReady);
  if (!disc_) return check(sense::kNoMedium);
  if (becomingReadyPolls_ > 0) return check(sense::kBecomingReady);
  if (mediumChangedPending_) {
    mediumChangedPending_ = false;
    return check(sense::kMediumChanged);
  }
  if (!disc_->traits().recordable) return check(sense::kIncompatibleMedium);
  if (!disc_->formatted()) return check(kUnformatted);
  auto lba = static_cast<std::int32_t>(be::get32(c.cdb, 2));
  std::int32_t count = be::get16(c.cdb, 7);
  std::size_t blockSize = hostBlockSize(lba);
  if (c.direction != DataDirection::ToDevice || c.data.size() < blockSize * static_cast<std::size_t>(count))
    return check(sense::kInvalidCdbField);
  if (writeFailed_) return check(sense::kWriteError);
  bool sao = disc_->traits().cd && params_.writeType == 2;
  if (sao && (cue_.empty() || lba != saoNext_)) return check(sense::kSequenceError);
  if (sao && lba + count > cueLeadOut_) return check(sense::kLbaOutOfRange);
  // Raw disc at once starts with the first pregap, before LBA 0: the image has no place for it.
  const bool rawPregap =
      disc_->traits().cd && params_.writeType == 3 && disc_->tracks().empty() && lba >= -150 && lba + count <= 0;
  if (rawPregap) return good(c);
  if (!sao) {
    auto nwa = disc_->nextWritable();
    bool overwrite =
        disc_->traits().randomWritable && !disc_->tracks().empty() && lba >= 0 && lba < disc_->tracks().back().end();
    if (!nwa) return check(sense::kIncompatibleMedium);
    if (!overwrite && lba != *nwa) return check(lba > *nwa ? sense::kLbaOutOfRange : sense::kSequenceError);
  }
  if (lba + count > disc_->capacity()) return check(sense::kLbaOutOfRange);

  if (config_.realtime) {
    auto wait = writeDuration(count);
    lock.unlock();
    bool completed = interruptor.sleepFor(wait);
    lock.lock();
    if (!completed) return check(sense::kAborted);
    if (!disc_) return check(sense::kNoMedium);
  }
  const bool simulate = params_.testWrite;
  if (simulate && !beforeTest_) beforeTest_ = disc_;
  std::int32_t stop = lba + count;
  std::optional<SenseData> fault;
  bool removed = false;
  for (const FaultSpec& f : config_.faults) {
    if (!f.stopsWriting() || f.lba < lba || f.lba >= lba + count || f.lba >= stop) continue;
    stop = f.lba;
    fault = f.kind == FaultSpec::Kind::WriteError ? sense::kWriteError : sense::kNoMedium;
    removed = f.kind == FaultSpec::Kind::Removed;
  }
  if (!simulate && stop > lba) {
    if (!storeBlocks(lba, stop - lba, c.data, blockSize).ok()) {
      // Where a failed write stopped in the file is unknown: none of the command's blocks count.
      fault = sense::kWriteError;
      stop = lba;
    }
    if (stop > lba) hostWrote_ = true;
  }
  SectorLayout layout = blockSize == 2048 && params_.dataBlockType != 10 ? SectorLayout::Mode1
                        : blockSize == 2352 && params_.trackMode == 0    ? SectorLayout::Audio
                                                                         : SectorLayout::Mode2;
  if (layout == SectorLayout::Mode2 && blockSize >= 2352 && count > 0 && rawMode1(c.data.first(blockSize)))
    layout = SectorLayout::Mode1;
  if (sao) {
    saoNext_ = stop;
    // Pregap blocks before LBA 0 have no place in the layout.
    // Each track of the cue sheet after the first begins a track of its own at its index 1.
    std::int32_t from = std::max(lba, 0);
    while (stop > from) {
      std::int32_t until = stop;
      const CueTrack* starting = nullptr;
      for (const CueTrack& t : cue_) {
        if (t.start > from) until = std::min(until, t.start);
        if (t.start == from && &t != &cue_.front()) starting = &t;
      }
      if (starting) (void)disc_->closeTrack();
      auto nwa = disc_->nextWritable();
      if (!nwa || *nwa != from || !disc_->record(from, until - from, layout)) break;
      if (starting) disc_->setPregap(starting->start - starting->pregapStart);
      from = until;
    }
    if (saoNext_ == cueLeadOut_ && !simulate) {  // the drive writes the lead-out itself: the session is done
      (void)disc_->closeSession(params_.multiSession == 3);
      cue_.clear();
    }
  } else if (stop > lba) {
    (void)disc_->record(lba, stop - lba, layout);
  }
  drainBuffer();
  bufferFill_ = std::min<std::uint64_t>(std::uint64_t{config_.bufferKb} * 1024,
                                        bufferFill_ + static_cast<std::uint64_t>(stop - lba) * blockSize);
  if (!config_.realtime) bufferFill_ = 0;
  if (fault) {
    if (removed) {
      finishMedium();
      disc_.reset();
    } else {
      writeFailed_ = true;
    }
    return check(*fault);
  }
  return good(c);
}

ScsiReply VirtualDrive::synchronizeCache(const ScsiCommand& c) {
  if (c.cdb[1] & 0x02) longWritePolls_ = longOperationPolls();
  if (params_.testWrite && params_.writeType == 2) endTestWrite();
  bufferFill_ = 0;
  return good(c);
}

ScsiReply VirtualDrive::closeTrackSession(const ScsiCommand& c) {
  if (!disc_->traits().recordable) return check(sense::kIncompatibleMedium);
  std::uint8_t function = c.cdb[2] & 0x07;
  if (c.cdb[1] & 0x01) longWritePolls_ = longOperationPolls();
  bool ok = false;
  if (function == 1) {
    ok = disc_->closeTrack() || disc_->traits().plusFormat;
  } else if (function == 2) {
    bool appendable = disc_->traits().plusFormat || params_.multiSession == 3;
    ok = disc_->closeSession(appendable);
    if (params_.testWrite) endTestWrite();
  } else if (function == 5 || function == 6) {
    ok = disc_->closeSession(false);
    if (!ok && disc_->status() == DiscStatus::Appendable) {
      disc_->finalize();
      ok = true;
    }
    if (params_.testWrite) endTestWrite();
  } else {
    return check(sense::kInvalidCdbField);
  }
  return ok ? good(c) : check(sense::kSequenceError);
}

ScsiReply VirtualDrive::reserveTrack(const ScsiCommand& c) {
  if (!disc_->traits().recordable) return check(sense::kIncompatibleMedium);
  auto blocks = static_cast<std::int32_t>(be::get32(c.cdb, 5));
  // A simulated recording reserves nothing for real either.
  if (params_.testWrite && !beforeTest_) beforeTest_ = disc_;
  return disc_->reserve(blocks) ? good(c) : check(sense::kInvalidCdbField);
}

ScsiReply VirtualDrive::sendCueSheet(const ScsiCommand& c) {
  if (!disc_->traits().recordable || !disc_->traits().cd) return check(sense::kIncompatibleMedium);
  if (params_.writeType != 2) return check(sense::kSequenceError);
  std::uint32_t length = be::get24(c.cdb, 6);
  if (length == 0 || length % 8 != 0 || c.data.size() < length) return check(sense::kParameterLengthError);
  std::vector<CueTrack> tracks;
  std::int32_t leadOut = -1, previous = -1000;
  bool leadIn = false;
  for (std::uint32_t at = 0; at < length; at += 8) {
    auto e = c.data.subspan(at, 8);
    std::uint8_t tno = e[1], index = e[2], form = e[3];
    if (e[5] > 99 || e[6] > 59 || e[7] > 74) return check(sense::kInvalidParameterField);
    std::int32_t pos = Msf{e[5], e[6], e[7]}.frames() - 150;
    if (tno == 0) {
      if (at != 0) return check(sense::kInvalidParameterField);
      leadIn = true;
      continue;
    }
    if (!leadIn || pos < previous) return check(sense::kInvalidParameterField);
    previous = pos;
    if (tno == 0xAA) {
      leadOut = pos;
      break;
    }
    if (tno > 99 || (!tracks.empty() && tno != tracks.back().number && tno != tracks.back().number + 1))
      return check(sense::kInvalidParameterField);
    if (tracks.empty() || tracks.back().number != tno) tracks.push_back({tno, pos, pos, form});
    if (index == 1) tracks.back().start = pos, tracks.back().dataForm = form;
  }
  if (tracks.empty() || leadOut < 0 || leadOut > disc_->capacity()) return check(sense::kInvalidParameterField);
  cue_ = std::move(tracks);
  cueLeadOut_ = leadOut;
  saoNext_ = cue_.front().pregapStart;
  return good(c);
}

ScsiReply VirtualDrive::blank(const ScsiCommand& c) {
  if (!disc_->traits().erasable) return check(sense::kIncompatibleMedium);
  if (c.cdb[1] & 0x10) longWritePolls_ = longOperationPolls();
  disc_->erase();
  return good(c);
}

ScsiReply VirtualDrive::sendOpc(const ScsiCommand& c) {
  if (!disc_ || !disc_->traits().recordable) return check(sense::kInvalidOpcode);
  return good(c);
}

ScsiReply VirtualDrive::readBufferCapacity(const ScsiCommand& c) {
  drainBuffer();
  std::vector<std::uint8_t> b(12, 0);
  be::put16(b, 0, 10);
  std::uint64_t size = std::uint64_t{config_.bufferKb} * 1024;
  std::uint64_t freeBytes = size - std::min(size, bufferFill_);
  if (c.cdb[1] & 0x01) {
    be::put32(b, 8, static_cast<std::uint32_t>(freeBytes / 2048));
  } else {
    be::put32(b, 4, static_cast<std::uint32_t>(size));
    be::put32(b, 8, static_cast<std::uint32_t>(freeBytes));
  }
  return good(c, b);
}

}  // namespace emberline::virt
