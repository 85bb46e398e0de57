#include "write/raw_disc_at_once_strategy.h"

#include <algorithm>
#include <cstring>

#include "sector/cd_sector.h"
#include "write/plan_checks.h"

namespace emberline::write {

namespace {
constexpr std::uint32_t kEncodeChunk = 32;
constexpr std::array<std::uint8_t, sector::kUserDataSize> kZeroUser{};
}  // namespace

std::size_t RawDiscAtOnceStrategy::blockSize() const {
  return sector::kRawSectorSize + (fullSubchannel_ ? kPwBlockSize : kPqBlockSize);
}

Status RawDiscAtOnceStrategy::prepare(const DiscPlan& plan, const MediumState& medium) {
  plan_ = &plan;
  EMBERLINE_TRY(checkMode1Only(plan, "raw disc at once"));
  std::vector<sector::DataTrack> tracks;
  for (std::size_t i = 0; i < plan.tracks.size(); ++i) {
    const BlockSource& source = *plan.tracks[i].source;
    if (source.blockSize() != sector::kUserDataSize && source.blockSize() != sector::kRawSectorSize)
      return fail(ErrorKind::InvalidArgument, "track " + std::to_string(i + 1) + " (" + source.describe() +
                                                  ") holds neither 2048-byte nor 2352-byte sectors");
    tracks.push_back(
        {cueTrackMode(plan.tracks[i].form),
         std::max<std::int32_t>(static_cast<std::int32_t>(source.blockCount()), sector::kMinimumTrackBlocks)});
  }
  auto cue = placeCdTracks(plan, tracks);
  if (!cue.ok()) return fail(std::move(cue).error());
  cue_ = std::move(*cue);
  if (static_cast<std::uint32_t>(cue_.leadOutStart) > medium.freeBlocks)
    return fail(ErrorKind::NotSupported, "the disc needs " + std::to_string(cue_.leadOutStart) + " blocks but has " +
                                             std::to_string(medium.freeBlocks) + " free");
  next_ = cue_.tracks.front().pregapStart;
  return drive().selectParameters(
      [&](mmc::WriteParameters& p) {
        p.writeType = mmc::WriteType::Raw;
        p.testWrite = plan.testMode;
        p.multiSession = multiSessionField(plan);
        p.trackMode = kCdDataTrackMode;
        p.dataBlockType = fullSubchannel_ ? mmc::data_block::kRawPwRaw : mmc::data_block::kRawPqSubchannel;
        p.sessionFormat = static_cast<std::uint8_t>(plan.sessionFormat);
      },
      plan.useBufferUnderrunProtection);
}

SectorPosition RawDiscAtOnceStrategy::positionOf(std::int32_t lba) const {
  std::size_t index = 0;
  for (std::size_t i = 0; i < cue_.tracks.size(); ++i)
    if (lba >= cue_.tracks[i].pregapStart) index = i;
  const sector::TrackPlacement& t = cue_.tracks[index];
  SectorPosition p;
  p.control = sector::control::kDataTrack;
  p.track = t.number;
  p.lba = lba;
  p.index = lba < t.start ? 0 : 1;
  p.relative = lba - t.start;
  p.pause = lba < t.start;
  return p;
}

void RawDiscAtOnceStrategy::encodeBlock(std::int32_t lba, const std::uint8_t* input, std::size_t inputBlockSize,
                                        std::uint8_t* block) const {
  std::span<std::uint8_t, sector::kRawSectorSize> raw(block, sector::kRawSectorSize);
  if (input == nullptr)
    sector::encodeMode1(lba, kZeroUser, raw);
  else if (inputBlockSize == sector::kRawSectorSize)
    std::memcpy(block, input, sector::kRawSectorSize);
  else
    sector::encodeMode1(lba, std::span<const std::uint8_t, sector::kUserDataSize>(input, sector::kUserDataSize), raw);
  const SectorPosition position = positionOf(lba);
  if (fullSubchannel_) {
    const auto pw = encodePw(position);
    std::memcpy(block + sector::kRawSectorSize, pw.data(), pw.size());
  } else {
    const auto pq = encodePq(position);
    std::memcpy(block + sector::kRawSectorSize, pq.data(), pq.size());
  }
}

std::size_t RawDiscAtOnceStrategy::encodedBlockSize(std::size_t /*index*/) const {
  return blockSize();
}

void RawDiscAtOnceStrategy::encode(std::size_t index, std::uint32_t first, std::span<const std::uint8_t> in,
                                   std::span<std::uint8_t> out) const {
  const std::size_t inputBlockSize = plan_->tracks[index].source->blockSize();
  const std::size_t size = blockSize();
  const auto blocks = static_cast<std::uint32_t>(in.size() / inputBlockSize);
  const std::int32_t start = cue_.tracks[index].start + static_cast<std::int32_t>(first);
  for (std::uint32_t b = 0; b < blocks; ++b)
    encodeBlock(start + static_cast<std::int32_t>(b), in.data() + std::size_t{b} * inputBlockSize, inputBlockSize,
                out.data() + std::size_t{b} * size);
}

Status RawDiscAtOnceStrategy::sendZeros(std::uint32_t count) {
  const std::size_t size = blockSize();
  while (count > 0) {
    const std::uint32_t blocks = std::min(count, kEncodeChunk);
    out_.resize(std::size_t{blocks} * size);
    for (std::uint32_t b = 0; b < blocks; ++b)
      encodeBlock(next_ + static_cast<std::int32_t>(b), nullptr, 0, out_.data() + std::size_t{b} * size);
    EMBERLINE_TRY(sendEncoded(out_, blocks));
    count -= blocks;
  }
  return {};
}

Status RawDiscAtOnceStrategy::sendEncoded(std::span<const std::uint8_t> blocks, std::uint32_t count) {
  const std::size_t size = blockSize();
  while (count > 0) {
    const std::uint32_t n = std::min(count, kEncodeChunk);
    EMBERLINE_TRY(drive().write(next_, static_cast<std::uint16_t>(n), blocks.first(std::size_t{n} * size)));
    started_ = true;
    next_ += static_cast<std::int32_t>(n);
    count -= n;
    blocks = blocks.subspan(std::size_t{n} * size);
  }
  return {};
}

Status RawDiscAtOnceStrategy::beginTrack(std::size_t index) {
  track_ = index;
  const std::int32_t start = cue_.tracks[index].start;
  if (start > next_) EMBERLINE_TRY(sendZeros(static_cast<std::uint32_t>(start - next_)));
  return {};
}

Status RawDiscAtOnceStrategy::writeData(std::span<const std::uint8_t> data, std::uint32_t blocks) {
  return sendEncoded(data, blocks);
}

Status RawDiscAtOnceStrategy::endTrack(std::size_t index) {
  const std::int32_t end = cue_.tracks[index].end();
  if (end > next_) EMBERLINE_TRY(sendZeros(static_cast<std::uint32_t>(end - next_)));
  return {};
}

Status RawDiscAtOnceStrategy::finish() {
  EMBERLINE_TRY(drive().flushCache());
  if (plan_->testMode) return drive().leaveTestMode();
  EMBERLINE_TRY(drive().closeIfOpen(mmc::CloseFunction::Track, cue_.tracks.front().number));
  return drive().closeIfOpen(mmc::CloseFunction::Session, 0);
}

void RawDiscAtOnceStrategy::abort() {
  drive().abandonCdAtOnce(cue_.tracks.front().number, started_, plan_->testMode);
}

}  // namespace emberline::write
