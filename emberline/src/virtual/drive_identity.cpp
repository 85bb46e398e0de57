// INQUIRY, GET CONFIGURATION, MODE SENSE / SELECT and REPORT KEY: what the
// drive says about itself and how callers probe its write modes.
#include <algorithm>
#include <cstring>

#include "core/big_endian.h"
#include "transport/sense_codes.h"
#include "virtual/virtual_drive.h"

namespace emberline::virt {
namespace {

void padded(std::vector<std::uint8_t>& b, std::size_t at, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) b[at + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
}

struct FeatureWriter {
  std::vector<std::uint8_t>& out;
  void add(std::uint16_t code, bool current, std::vector<std::uint8_t> body, std::uint8_t version = 0) {
    std::size_t at = out.size();
    out.resize(at + 4);
    be::put16(out, at, code);
    out[at + 2] = static_cast<std::uint8_t>((version << 2) | (code <= 3 ? 0x02 : 0) | (current ? 1 : 0));
    out[at + 3] = static_cast<std::uint8_t>(body.size());
    out.insert(out.end(), body.begin(), body.end());
  }
};

}  // namespace

ScsiReply VirtualDrive::inquiry(const ScsiCommand& c) {
  if (c.cdb[1] & 0x01) return check(sense::kInvalidCdbField);
  std::vector<std::uint8_t> b(36, 0);
  b[0] = 0x05;
  b[1] = 0x80;
  b[2] = 0x05;
  b[3] = 0x02;
  b[4] = 31;
  padded(b, 8, config_.vendor, 8);
  padded(b, 16, config_.product, 16);
  padded(b, 32, config_.revision, 4);
  return good(c, b);
}

ScsiReply VirtualDrive::getConfiguration(const ScsiCommand& c) {
  std::uint8_t rt = c.cdb[1] & 0x03;
  if (rt == 3) return check(sense::kInvalidCdbField);
  std::uint16_t startFeature = be::get16(c.cdb, 2);
  std::uint16_t profile = disc_ ? disc_->traits().profile : 0;
  const bool dvd = isDvdDrive();
  const bool bup = config_.bufferUnderrunProtection;
  const bool cdMedium = disc_ && disc_->traits().cd;
  const bool writable = disc_ && disc_->traits().recordable;

  std::vector<std::uint8_t> features;
  FeatureWriter w{features};
  std::vector<std::uint16_t> profiles = {0x08, 0x09, 0x0A};
  if (dvd) profiles.insert(profiles.begin(), {0x2B, 0x1B, 0x1A, 0x14, 0x13, 0x11, 0x10});
  auto emit = [&](std::uint16_t code, bool current, std::vector<std::uint8_t> body, std::uint8_t version = 0) {
    if (code < startFeature) return;
    if (rt == 1 && !current) return;
    if (rt == 2 && code != startFeature) return;
    w.add(code, current, std::move(body), version);
  };
  std::vector<std::uint8_t> list;
  for (std::uint16_t p : profiles)
    list.insert(list.end(), {static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p),
                             p == profile ? std::uint8_t{1} : std::uint8_t{0}, 0});
  emit(0x0000, true, list);
  emit(0x0001, true, {0, 0, 0, 0x01, 0, 0, 0, 0}, 1);  // core: ATAPI
  emit(0x0003, true, {static_cast<std::uint8_t>(0x29 | (locked_ ? 0x04 : 0)), 0, 0, 0});
  emit(0x001E, cdMedium, {0x00, 0, 0, 0}, 2);
  if (dvd) emit(0x001F, disc_ && !cdMedium, {0, 0, 0, 0}, 1);
  bool seqDvd = disc_ && (disc_->kind() == MediaKind::DvdR || disc_->kind() == MediaKind::DvdRw);
  emit(0x0021, writable && (cdMedium || seqDvd),
       {0x01, 0x1F, static_cast<std::uint8_t>(bup ? 0x01 : 0), 0x01, 0x10, 0, 0, 0}, 1);
  if (dvd) emit(0x0026, disc_ && disc_->kind() == MediaKind::DvdRwRestricted, {0, 0, 0, 0});  // restricted overwrite
  if (dvd) {
    emit(0x002A, disc_ && disc_->kind() == MediaKind::DvdPlusRw, {0x01, 0, 0, 0}, 1);
    emit(0x002B, disc_ && disc_->kind() == MediaKind::DvdPlusR, {0x01, 0, 0, 0});
  }
  std::uint8_t tw = config_.testWrite ? 0x04 : 0;
  emit(0x002D, writable && cdMedium, {static_cast<std::uint8_t>((bup ? 0x40 : 0) | tw | 0x02 | 0x01), 0, 0x3F, 0xFF},
       2);
  emit(0x002E, writable && cdMedium,
       {static_cast<std::uint8_t>((bup ? 0x40 : 0) | 0x20 | 0x10 | 0x08 | tw | 0x02 | 0x01), 0x00, 0x0F, 0xFF});
  if (dvd) {
    emit(0x002F, writable && seqDvd, {static_cast<std::uint8_t>((bup ? 0x40 : 0) | tw | 0x02), 0, 0, 0}, 1);
    emit(0x003B, disc_ && disc_->kind() == MediaKind::DvdPlusRDl, {0x01, 0, 0, 0});
  }
  emit(0x0107, true, {0x0E, 0, 0, 0}, 3);

  std::vector<std::uint8_t> b(8, 0);
  be::put32(b, 0, static_cast<std::uint32_t>(4 + features.size()));
  be::put16(b, 6, profile);
  b.insert(b.end(), features.begin(), features.end());
  return good(c, b);
}

std::vector<std::uint8_t> VirtualDrive::capabilitiesPage() const {
  const std::size_t count = config_.writeSpeeds.size();
  std::vector<std::uint8_t> p(32 + 4 * count, 0);
  p[0] = 0x2A;
  p[1] = static_cast<std::uint8_t>(p.size() - 2);
  bool dvd = isDvdDrive();
  p[2] = static_cast<std::uint8_t>(0x03 | (dvd ? 0x18 : 0));
  p[3] = static_cast<std::uint8_t>(0x03 | (config_.testWrite ? 0x04 : 0) | (dvd ? 0x10 : 0));
  p[4] = static_cast<std::uint8_t>((config_.bufferUnderrunProtection ? 0x80 : 0) | 0x40 | 0x30);
  p[5] = 0x01 | 0x02 | 0x04 | 0x10;  // CD-DA, accurate stream, R-W, C2 pointers
  p[6] = static_cast<std::uint8_t>(0x20 | 0x08 | (locked_ ? 0x02 : 0) | 0x01);
  be::put16(p, 8, static_cast<std::uint16_t>(std::min<std::uint32_t>(config_.readSpeed, 0xFFFF)));
  be::put16(p, 12, static_cast<std::uint16_t>(std::min<std::uint32_t>(config_.bufferKb, 0xFFFF)));
  be::put16(p, 14, static_cast<std::uint16_t>(std::min<std::uint32_t>(readSpeed_, 0xFFFF)));
  be::put16(p, 18, static_cast<std::uint16_t>(std::min<std::uint32_t>(config_.writeSpeeds.back(), 0xFFFF)));
  be::put16(p, 20, static_cast<std::uint16_t>(std::min<std::uint32_t>(writeSpeed_, 0xFFFF)));
  be::put16(p, 28, static_cast<std::uint16_t>(std::min<std::uint32_t>(writeSpeed_, 0xFFFF)));
  be::put16(p, 30, static_cast<std::uint16_t>(count));
  for (std::size_t i = 0; i < count; ++i)  // fastest first, as drives list them
    be::put16(p, 32 + 4 * i + 2,
              static_cast<std::uint16_t>(std::min<std::uint32_t>(config_.writeSpeeds[count - 1 - i], 0xFFFF)));
  return p;
}

std::vector<std::uint8_t> VirtualDrive::writeParametersPage() const {
  std::vector<std::uint8_t> p(0x34, 0);
  p[0] = 0x05;
  p[1] = 0x32;
  p[2] = static_cast<std::uint8_t>((params_.bufferUnderrunFree ? 0x40 : 0) | (params_.testWrite ? 0x10 : 0) |
                                   params_.writeType);
  p[3] = static_cast<std::uint8_t>((params_.multiSession << 6) | params_.trackMode);
  p[4] = params_.dataBlockType;
  p[8] = params_.sessionFormat;
  be::put16(p, 14, 150);
  return p;
}

ScsiReply VirtualDrive::modeSense(const ScsiCommand& c) {
  std::uint8_t pc = c.cdb[2] >> 6;
  std::uint8_t page = c.cdb[2] & 0x3F;
  if (pc == 3) return check(sense::kSavingNotSupported);
  std::vector<std::uint8_t> pages;
  auto addPage = [&](std::vector<std::uint8_t> p) {
    if (pc == 1) std::fill(p.begin() + 2, p.end(), page == 0x05 || p[0] == 0x05 ? 0xFF : 0x00);
    pages.insert(pages.end(), p.begin(), p.end());
  };
  if (page == 0x05 || page == 0x3F) addPage(writeParametersPage());
  if (page == 0x2A || page == 0x3F) addPage(capabilitiesPage());
  if (pages.empty()) return check(sense::kInvalidCdbField);
  std::vector<std::uint8_t> b(8, 0);
  be::put16(b, 0, static_cast<std::uint16_t>(6 + pages.size()));
  b.insert(b.end(), pages.begin(), pages.end());
  return good(c, b);
}

ScsiReply VirtualDrive::modeSelect(const ScsiCommand& c) {
  std::uint16_t length = be::get16(c.cdb, 7);
  if (c.cdb[1] & 0x01) return check(sense::kInvalidCdbField);
  if (c.data.size() < length) return check(sense::kParameterLengthError);
  auto data = c.data.first(length);
  if (length < 8) return check(sense::kParameterLengthError);
  std::size_t at = 8 + be::get16(data, 6);
  while (at + 2 <= data.size()) {
    std::uint8_t code = data[at] & 0x3F;
    std::size_t pageLength = data[at + 1] + 2u;
    if (at + pageLength > data.size()) return check(sense::kParameterLengthError);
    if (code != 0x05 || pageLength < 16) return check(sense::kInvalidParameterField);
    auto pg = data.subspan(at, pageLength);
    WriteParameters next;
    next.writeType = pg[2] & 0x0F;
    next.testWrite = (pg[2] & 0x10) != 0;
    next.bufferUnderrunFree = (pg[2] & 0x40) != 0;
    next.multiSession = pg[3] >> 6;
    next.trackMode = pg[3] & 0x0F;
    next.dataBlockType = pg[4] & 0x0F;
    next.sessionFormat = pg[8];
    const bool plus = disc_ && disc_->traits().plusFormat;
    const bool cd = disc_ ? disc_->traits().cd : !isDvdDrive();
    if (next.bufferUnderrunFree && !config_.bufferUnderrunProtection) return check(sense::kInvalidParameterField);
    if (next.testWrite && !testWriteAllowed()) return check(sense::kInvalidParameterField);
    if (plus) {
      next.writeType = params_.writeType;  // DVD+R/+RW decide the write type themselves
      next.dataBlockType = 8;
    } else if (cd) {
      if (next.writeType > 3) return check(sense::kInvalidParameterField);
      const std::uint8_t allowed[] = {0, 1, 2, 3, 8, 9, 10, 12, 13};
      if (std::find(std::begin(allowed), std::end(allowed), next.dataBlockType) == std::end(allowed))
        return check(sense::kInvalidParameterField);
      // Raw writing takes 2352-byte sectors, bare or followed by P-Q or P-W subchannel.
      const bool rawBlock = next.dataBlockType <= 3;
      if ((next.writeType == 3) != rawBlock) return check(sense::kInvalidParameterField);
    } else {
      if (next.writeType != 0 && next.writeType != 2) return check(sense::kInvalidParameterField);
      if (next.dataBlockType != 8) return check(sense::kInvalidParameterField);
    }
    if (params_.testWrite && !next.testWrite) endTestWrite();
    params_ = next;
    at += pageLength;
  }
  return good(c);
}

ScsiReply VirtualDrive::reportKey(const ScsiCommand& c) {
  if (!isDvdDrive()) return check(sense::kInvalidOpcode);
  if ((c.cdb[10] & 0x3F) != 0x08) return check(sense::kInvalidCdbField);
  std::vector<std::uint8_t> b(8, 0);
  be::put16(b, 0, 6);
  b[4] = static_cast<std::uint8_t>((0 << 6) | (4 << 3) | 5);
  b[5] = 0xFF;
  b[6] = 0x01;
  return good(c, b);
}

}  // namespace emberline::virt
