#pragma once
/// @file
/// The MPEG track of a Video CD or Super Video CD as raw 2352-byte Mode 2
/// sectors, from the first pregap sector to the last postgap sector: the
/// source file is read pack by pack, each pack becomes the user data of one
/// Form 2 sector with the subheader its contents call for.

#include <memory>
#include <string>

#include "core/result.h"
#include "video/mpeg_stream_reader.h"
#include "video/vcd_disc_layout.h"
#include "write/block_source.h"

namespace emberline::video {

class VcdTrackSource final : public write::BlockSource {
 public:
  /// Opens @p mpegPath, the stream @p layout was planned for.
  static Result<std::unique_ptr<VcdTrackSource>> open(const std::string& mpegPath, const VcdDiscLayout& layout);

  std::size_t blockSize() const override { return sector::kRawSectorSize; }
  std::uint32_t blockCount() const override { return layout_.trackTwoSectors(); }
  std::string describe() const override { return "the MPEG track from " + reader_.path(); }
  /// Fails when the file no longer matches the plan (it changed after the
  /// check) or cannot be read.
  Status read(std::span<std::uint8_t> out) override;

 private:
  VcdTrackSource(MpegStreamReader reader, const VcdDiscLayout& layout) : reader_(std::move(reader)), layout_(layout) {}
  Status nextSector(std::span<std::uint8_t, sector::kRawSectorSize> raw);
  Unexpected changed() const;
  /// The subheader of a pack's sector, by what the pack carries.
  sector::Subheader subheaderOf(const MpegPack& pack) const;

  MpegStreamReader reader_;
  VcdDiscLayout layout_;
  MpegPack pack_;
  std::uint32_t next_ = 0;  ///< sectors produced so far
};

}  // namespace emberline::video
