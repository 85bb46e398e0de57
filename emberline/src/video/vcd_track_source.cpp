#include "video/vcd_track_source.h"

#include <algorithm>
#include <array>

namespace emberline::video {

Result<std::unique_ptr<VcdTrackSource>> VcdTrackSource::open(const std::string& mpegPath, const VcdDiscLayout& layout) {
  auto reader = MpegStreamReader::open(mpegPath, kSectorPackSize);
  if (!reader) return fail(std::move(reader).error());
  return std::unique_ptr<VcdTrackSource>(new VcdTrackSource(std::move(reader.value()), layout));
}

Unexpected VcdTrackSource::changed() const {
  return fail(ErrorKind::File, reader_.path() + " changed after it was checked; check it again before writing");
}

sector::Subheader VcdTrackSource::subheaderOf(const MpegPack& pack) const {
  const VcdTrackSubheaders& s = layout_.subheaders;
  const bool secondAudio = layout_.audioStreams.size() > 1 && pack.audioStream == layout_.audioStreams[1];
  if (pack.hasVideo) return s.video;
  if (pack.hasAudio) return secondAudio ? s.secondAudio : s.audio;
  // A pack with only a system header belongs to the stream it describes:
  // readers skip sectors marked as neither video nor audio as empty.
  if (pack.systemHeaderVideo) return s.video;
  if (pack.systemHeaderAudio) return s.audio;
  return s.other;
}

Status VcdTrackSource::nextSector(std::span<std::uint8_t, sector::kRawSectorSize> raw) {
  const VcdDiscLayout& l = layout_;
  const auto lba = static_cast<std::int32_t>(l.pregapLba + next_);
  const std::uint32_t frontEnd = l.pregapSectors + l.frontMarginSectors;
  const std::uint32_t packsEnd = frontEnd + l.packCount;
  const std::uint32_t rearEnd = packsEnd + l.rearMarginSectors;
  std::array<std::uint8_t, sector::kForm2DataSize> data{};
  sector::Subheader sub;
  if (next_ < l.pregapSectors || next_ >= rearEnd) {
    sub = l.subheaders.gap;
  } else if (next_ < frontEnd || next_ >= packsEnd) {
    sub = l.subheaders.margin;
    if (l.rearMarginSectors > 0 && next_ + 1 == rearEnd) sub.submode |= sector::submode::kEndOfFile;
  } else {
    auto more = reader_.next(pack_);
    if (!more) return fail(std::move(more).error());
    if (!*more || pack_.bytes.size() > data.size()) return changed();
    std::copy(pack_.bytes.begin(), pack_.bytes.end(), data.begin());
    sub = subheaderOf(pack_);
    if (next_ + 1 == packsEnd) {
      sub.submode |= sector::submode::kEndOfRecord;
      if (l.rearMarginSectors == 0) sub.submode |= sector::submode::kEndOfFile;
      MpegPack after;
      auto extra = reader_.next(after);
      if (!extra) return fail(std::move(extra).error());
      if (*extra) return changed();
    }
  }
  sector::encodeMode2Form2(lba, sub, data, raw);
  ++next_;
  return {};
}

Status VcdTrackSource::read(std::span<std::uint8_t> out) {
  if (out.size() % sector::kRawSectorSize != 0)
    return fail(ErrorKind::Internal, "a read of the MPEG track must be a whole number of sectors");
  const std::size_t count = out.size() / sector::kRawSectorSize;
  if (next_ + count > blockCount()) return fail(ErrorKind::Internal, "a read past the end of the MPEG track");
  for (std::size_t i = 0; i < count; ++i)
    EMBERLINE_TRY(nextSector(out.subspan(i * sector::kRawSectorSize).first<sector::kRawSectorSize>()));
  return {};
}

}  // namespace emberline::video
