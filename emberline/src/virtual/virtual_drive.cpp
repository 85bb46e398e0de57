#include "virtual/virtual_drive.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <iostream>

#include "core/big_endian.h"
#include "sector/cd_sector.h"
#include "transport/sense_codes.h"
#include "virtual/iso_volume.h"

namespace emberline::virt {
namespace {
// Pre-recorded CD sessions are padded to the shortest track a CD may carry.
constexpr std::int32_t kMinimumCdTrack = 300;
}  // namespace

std::string virtualWriterName(int index) {
  return "CdRom" + std::to_string(16 + index);
}

VirtualDrive::VirtualDrive(WriterConfig config, int index, std::filesystem::path directory)
    : config_(std::move(config)),
      index_(index),
      name_(virtualWriterName(index)),
      directory_(std::move(directory)),
      trace_(config_.trace) {
  writeSpeed_ = config_.fixedSpeed.value_or(config_.writeSpeeds.back());
  readSpeed_ = config_.fixedSpeed.value_or(config_.readSpeed);
  params_.bufferUnderrunFree = config_.bufferUnderrunProtection;
  loadMedium(false);
}

VirtualDrive::~VirtualDrive() {
  shutDown();
}

void VirtualDrive::shutDown() {
  std::lock_guard lock(mutex_);
  finishMedium();
}

std::vector<std::string> VirtualDrive::finishedImages() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

void VirtualDrive::loadMedium(bool fresh) {
  disc_.reset();
  image_.reset();
  beforeTest_.reset();
  hostWrote_ = writeFailed_ = false;
  cue_.clear();
  if (config_.media == MediaKind::None) return;
  disc_.emplace(config_.media);
  if (config_.capacity > 0) disc_->setCapacity(config_.capacity);
  // A freshly loaded disc starts from the write parameters its kind uses:
  // track-at-once Mode 1 on CD, incremental (packet) recording on DVD.
  params_ = WriteParameters{};
  if (!disc_->traits().cd) {
    params_.writeType = 0;
    params_.trackMode = 5;
  }
  char stamp[32];
  std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
  std::error_code ec;
  std::filesystem::create_directories(directory_, ec);
  image_ = std::make_unique<DiscImage>(directory_ / (name_ + "-" + stamp + "-" + std::to_string(++imageCounter_)),
                                       disc_->traits().cd);
  bool rom = !disc_->traits().recordable;
  if (!fresh || rom) {
    if (!prerecord().ok()) disc_.reset();  // an unreadable image= behaves as an empty drive
  }
  if (fresh) {
    becomingReadyPolls_ = 2;
    mediumChangedPending_ = true;
  }
}

Status VirtualDrive::prerecord() {
  if (config_.sessions == 0) return {};
  DiscLayout& d = *disc_;
  std::int32_t blocks = 0;
  if (!config_.image.empty()) {
    EMBERLINE_TRY(image_->attachSource(config_.image, blocks));
    d.addClosedSession(blocks, SectorLayout::Mode1);
  } else {
    for (int s = 0; s < config_.sessions; ++s) {
      std::int32_t start = d.sessionStart(d.closedSessions() + 1);
      blocks = d.traits().cd ? kMinimumCdTrack : kMinimalIsoBlocks;
      std::array<std::uint8_t, kIsoBlockSize> user{};
      std::array<std::uint8_t, sector::kRawSectorSize> raw{};
      for (std::int32_t i = 0; i < blocks; ++i) {
        minimalIsoBlock(i, start, blocks, config_.label, user);
        if (d.traits().cd) {
          sector::encodeMode1(start + i, user, raw);
          EMBERLINE_TRY(image_->write(start + i, raw));
        } else {
          EMBERLINE_TRY(image_->write(start + i, user));
        }
      }
      d.addClosedSession(blocks, SectorLayout::Mode1);
    }
  }
  bool rom = !d.traits().recordable;
  if (rom) d.setCapacity(d.lastRecorded() + 1);
  if (rom || !config_.appendable) d.finalize();
  return {};
}

void VirtualDrive::finishMedium() {
  if (!image_ || !disc_) return;
  endTestWrite();
  if (hostWrote_) {
    auto paths = image_->finish(*disc_);
    if (paths.ok() && !paths->empty()) {
      finished_.insert(finished_.end(), paths->begin(), paths->end());
      std::cerr << "virtual writer " << name_ << ": disc image written to "
                << (disc_->traits().cd ? paths->back() : paths->front()) << '\n';
    } else if (!paths.ok()) {
      std::cerr << "virtual writer " << name_ << ": " << paths.error().message << '\n';
    }
  } else {
    image_->discard();
  }
  image_.reset();
}

ScsiReply VirtualDrive::good(const ScsiCommand& c, Bytes reply) {
  ScsiReply r;
  std::size_t n = std::min(reply.size(), c.data.size());
  if (c.direction == DataDirection::FromDevice) {
    std::copy_n(reply.begin(), n, c.data.begin());
    r.transferred = n;
  } else if (c.direction == DataDirection::ToDevice) {
    r.transferred = c.data.size();
  }
  lastSense_ = sense::kNone;
  return r;
}

ScsiReply VirtualDrive::check(SenseData s) {
  ScsiReply r;
  r.status = 0x02;
  r.sense = s;
  lastSense_ = s;
  return r;
}

bool VirtualDrive::mediumCommand(std::uint8_t opcode) const {
  switch (opcode) {
    case 0x03:
    case 0x12:
    case 0x46:
    case 0x5A:
    case 0x55:
    case 0x1B:
    case 0x1E:
    case 0xA4:
    case 0xBB:
    case 0xB6:
    case 0xAC:
      return false;
    default:
      return true;
  }
}

ScsiReply VirtualDrive::execute(const ScsiCommand& c, Interruptor& interruptor) {
  if (config_.latencyMs > 0) interruptor.pause(std::chrono::milliseconds(config_.latencyMs));
  std::unique_lock lock(mutex_);
  const ScsiReply reply = c.opcode() == 0x2A ? write10(c, interruptor, lock) : dispatch(c);
  if (!lock.owns_lock()) lock.lock();
  trace_.record(c, reply);
  return reply;
}

ScsiReply VirtualDrive::dispatch(const ScsiCommand& c) {
  std::uint8_t op = c.opcode();
  if (op == 0x03) return requestSense(c);
  if (op == 0x00) return testUnitReady();
  static constexpr std::uint8_t kKnown[] = {0x04, 0x12, 0x1B, 0x1E, 0x25, 0x28, 0x35, 0x43, 0x46,
                                            0x51, 0x52, 0x53, 0x54, 0x55, 0x5A, 0x5B, 0x5C, 0x5D,
                                            0xA1, 0xA4, 0xAC, 0xAD, 0xB6, 0xBB, 0xBE, 0xBF};
  if (std::find(std::begin(kKnown), std::end(kKnown), op) == std::end(kKnown)) return check(sense::kInvalidOpcode);
  if (mediumCommand(op)) {
    if (config_.hasFault(FaultSpec::Kind::NotReady)) return check(sense::kNotReady);
    if (becomingReadyPolls_ > 0) return check(sense::kBecomingReady);
    if (mediumChangedPending_) {
      mediumChangedPending_ = false;
      return check(sense::kMediumChanged);
    }
    if (op != 0x54 && !disc_) return check(sense::kNoMedium);
  }
  switch (op) {
    case 0x04:
      return formatUnit(c);
    case 0xAD:
      return readDvdStructure(c);
    case 0xBF:
      return sendDvdStructure(c);
    case 0x12:
      return inquiry(c);
    case 0x1B:
      return startStop(c);
    case 0x1E:
      return preventAllow(c);
    case 0x25:
      return readCapacity(c);
    case 0x28:
      return read10(c);
    case 0xBE:
      return readCd(c);
    case 0x35:
      return synchronizeCache(c);
    case 0x43:
      return readToc(c);
    case 0x46:
      return getConfiguration(c);
    case 0x51:
      return readDiscInformation(c);
    case 0x52:
      return readTrackInformation(c);
    case 0x53:
      return reserveTrack(c);
    case 0x54:
      return sendOpc(c);
    case 0x55:
      return modeSelect(c);
    case 0x5A:
      return modeSense(c);
    case 0x5B:
      return closeTrackSession(c);
    case 0x5C:
      return readBufferCapacity(c);
    case 0x5D:
      return sendCueSheet(c);
    case 0xA1:
      return blank(c);
    case 0xA4:
      return reportKey(c);
    case 0xAC:
      return getPerformance(c);
    case 0xB6:
      return setStreaming(c);
    case 0xBB:
      return setCdSpeed(c);
    default:
      return check(sense::kInvalidOpcode);
  }
}

ScsiReply VirtualDrive::testUnitReady() {
  if (config_.hasFault(FaultSpec::Kind::NotReady)) return check(sense::kNotReady);
  if (becomingReadyPolls_ > 0) {
    --becomingReadyPolls_;
    return check(sense::kBecomingReady);
  }
  if (mediumChangedPending_) {
    mediumChangedPending_ = false;
    return check(sense::kMediumChanged);
  }
  if (formatPolls_ > 0) {
    --formatPolls_;
    return check(sense::kFormatInProgress);
  }
  if (longWritePolls_ > 0) {
    --longWritePolls_;
    return check(sense::kLongWriteInProgress);
  }
  if (!disc_) return check(sense::kNoMedium);
  ScsiCommand none;
  return good(none);
}

ScsiReply VirtualDrive::requestSense(const ScsiCommand& c) {
  std::array<std::uint8_t, 18> s{};
  s[0] = 0x70;
  s[2] = lastSense_.key;
  s[7] = 10;
  s[12] = lastSense_.asc;
  s[13] = lastSense_.ascq;
  ScsiReply r = good(c, s);  // REQUEST SENSE itself clears the sense it reports
  return r;
}

ScsiReply VirtualDrive::preventAllow(const ScsiCommand& c) {
  locked_ = (c.cdb[4] & 0x01) != 0;
  return good(c);
}

ScsiReply VirtualDrive::startStop(const ScsiCommand& c) {
  bool loadEject = (c.cdb[4] & 0x02) != 0;
  bool start = (c.cdb[4] & 0x01) != 0;
  if (!loadEject) return good(c);
  if (!start) {
    if (locked_) return check(sense::kRemovalPrevented);
    finishMedium();
    loadMedium(true);  // the tray comes back with a fresh disc of the same kind
    return good(c);
  }
  if (!disc_) loadMedium(true);
  return good(c);
}

bool VirtualDrive::testWriteAllowed() const {
  return config_.testWrite && (!disc_ || disc_->traits().testWritable);
}

}  // namespace emberline::virt
