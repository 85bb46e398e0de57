// Start codes are found with memchr on the 01 byte and a look back at the
// two bytes before it, which keeps the scan close to memory speed: the video
// stream is nearly all of a source's bytes.

#include "video/mpeg_elementary_scan.h"

#include <algorithm>
#include <cstring>

namespace emberline::video {
namespace {

std::size_t headerBytes(std::uint8_t code) {
  switch (code) {
    case start_code::kSequenceHeader:
      return kSequenceHeaderBytes;
    case start_code::kExtension:
      return kExtensionBytes;
    case start_code::kGroupOfPictures:
      return kGroupOfPicturesBytes;
    case start_code::kPicture:
      return kPictureHeaderBytes;
    default:
      return 0;
  }
}

}  // namespace

void MpegVideoScanner::begin(std::uint8_t code, std::uint64_t packIndex) {
  need_ = headerBytes(code);
  have_ = 0;
  code_ = code;
  codePack_ = packIndex;
}

void MpegVideoScanner::finish(std::vector<MpegVideoEvent>& events) {
  MpegVideoEvent e;
  e.packIndex = codePack_;
  const std::span<const std::uint8_t, kSequenceHeaderBytes> all(bytes_);
  switch (code_) {
    case start_code::kSequenceHeader:
      e.kind = MpegVideoEvent::Kind::SequenceHeader;
      e.sequence = decodeSequenceHeader(all);
      break;
    case start_code::kExtension: {
      const std::uint8_t id = bytes_[0] >> 4;
      if (id == kSequenceExtensionId) {
        e.kind = MpegVideoEvent::Kind::SequenceExtension;
        e.sequenceExtension = decodeSequenceExtension(all.first<kExtensionBytes>());
      } else if (id == kPictureCodingExtensionId) {
        e.kind = MpegVideoEvent::Kind::PictureCodingExtension;
        e.pictureCoding = decodePictureCodingExtension(all.first<kExtensionBytes>());
      } else {
        return;
      }
      break;
    }
    case start_code::kGroupOfPictures:
      e.kind = MpegVideoEvent::Kind::GroupOfPictures;
      e.group = decodeGroupOfPictures(all.first<kGroupOfPicturesBytes>());
      break;
    default:
      e.kind = MpegVideoEvent::Kind::Picture;
      e.pictureType = decodePictureCodingType(all.first<kPictureHeaderBytes>());
      e.temporalReference = decodeTemporalReference(all.first<kPictureHeaderBytes>());
      break;
  }
  events.push_back(e);
}

void MpegVideoScanner::feed(std::span<const std::uint8_t> payload, std::uint64_t packIndex,
                            std::vector<MpegVideoEvent>& events) {
  const std::uint8_t* data = payload.data();
  const std::size_t n = payload.size();
  std::size_t j = 0;
  if (codeNext_ && n > 0) {
    codeNext_ = false;
    begin(data[0], codePack_);
    j = 1;
  }
  while (j < n) {
    if (need_ > 0) {
      const std::size_t take = std::min(need_ - have_, n - j);
      std::memcpy(bytes_.data() + have_, data + j, take);
      have_ += take;
      j += take;
      if (have_ == need_) {
        need_ = 0;
        finish(events);
      }
      continue;
    }
    const void* hit = std::memchr(data + j, 0x01, n - j);
    if (!hit) break;
    const std::size_t k = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data);
    const std::uint8_t before1 = k >= 1 ? data[k - 1] : tail_[1];
    const std::uint8_t before2 = k >= 2 ? data[k - 2] : (k == 1 ? tail_[1] : tail_[0]);
    j = k + 1;
    if (before1 != 0 || before2 != 0) continue;
    const std::uint64_t firstBytePack = k >= 2 ? packIndex : tailPack_;
    if (j == n) {
      codeNext_ = true;
      codePack_ = firstBytePack;
      break;
    }
    begin(data[j], firstBytePack);
    ++j;
  }
  if (n >= 2) {
    tail_ = {data[n - 2], data[n - 1]};
  } else if (n == 1) {
    tail_ = {tail_[1], data[0]};
  }
  if (n > 0) tailPack_ = packIndex;
}

void MpegAudioScanner::feed(std::span<const std::uint8_t> payload) {
  if (header_) return;
  // Join the few bytes kept from the last payload with the start of this one.
  std::array<std::uint8_t, 6> joint{};
  const std::size_t lead = std::min<std::size_t>(payload.size(), 3);
  std::copy_n(tail_.begin(), tailSize_, joint.begin());
  std::copy_n(payload.begin(), lead, joint.begin() + static_cast<std::ptrdiff_t>(tailSize_));
  auto search = [&](std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i + 4 <= bytes.size(); ++i) {
      if (bytes[i] != 0xFF) continue;
      if (auto h = decodeAudioFrameHeader(bytes.subspan(i).first<4>())) {
        header_ = h;
        return true;
      }
    }
    return false;
  };
  if (search(std::span<const std::uint8_t>(joint).first(tailSize_ + lead)) || search(payload)) return;
  // Keep the last three bytes seen, which a short payload may not supply alone.
  if (payload.size() >= 3) {
    tailSize_ = 3;
    std::copy_n(payload.end() - 3, 3, tail_.begin());
  } else {
    const std::size_t seen = tailSize_ + lead;
    tailSize_ = std::min<std::size_t>(seen, 3);
    std::copy_n(joint.begin() + static_cast<std::ptrdiff_t>(seen - tailSize_), tailSize_, tail_.begin());
  }
}

}  // namespace emberline::video
