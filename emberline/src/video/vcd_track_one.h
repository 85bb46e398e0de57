#pragma once
/// @file
/// Track 1 of a Video CD or Super Video CD as raw 2352-byte Form 1 sectors:
/// the ISO 9660 file system comes from the image builder (a CD-ROM XA volume
/// whose records carry XA attributes, the MPEG file's record pointing into
/// track 2); the information files sit at the sectors the plan fixed for them.

#include <array>
#include <memory>
#include <vector>

#include "core/result.h"
#include "sector/cd_sector.h"
#include "video/vcd_disc_layout.h"
#include "write/block_source.h"

namespace emberline::video {

class VcdTrackOneSource final : public write::BlockSource {
 public:
  /// Builds the file system for @p layout. Fails when the builder cannot lay
  /// the tree out or its structures run into the information files.
  static Result<std::unique_ptr<VcdTrackOneSource>> build(const VcdDiscLayout& layout);

  std::size_t blockSize() const override { return sector::kRawSectorSize; }
  std::uint32_t blockCount() const override { return layout_.trackOneSectors; }
  std::string describe() const override { return "the Video CD file system"; }
  Status read(std::span<std::uint8_t> out) override;

  /// The user data and subheader of sector @p lba of track 1.
  void userData(std::uint32_t lba, std::span<std::uint8_t, sector::kUserDataSize> out,
                sector::Subheader& subheader) const;

 private:
  explicit VcdTrackOneSource(const VcdDiscLayout& layout) : layout_(layout) {}
  Status readStructures();

  VcdDiscLayout layout_;
  /// The builder's blocks, from LBA 0 to the end of its structures.
  std::vector<std::array<std::uint8_t, sector::kUserDataSize>> structures_;
  std::vector<std::uint8_t> submodes_;  ///< one per structures_ block
  std::uint32_t next_ = 0;
};

}  // namespace emberline::video
