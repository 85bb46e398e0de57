#include "image/udf/udf_bridge_writer.h"

#include <algorithm>
#include <string>

namespace emberline::image::udf {

namespace {

/// The main and reserve volume descriptor sequences, then the integrity descriptor and its terminator.
constexpr std::uint32_t kFixedBlocks = kIntegrityBlock + 2 - kMainVdsBlock;

std::vector<std::uint8_t> bytesOf(const std::vector<Sector>& sectors) {
  std::vector<std::uint8_t> out;
  out.reserve(sectors.size() * kBlockSize);
  for (const Sector& sector : sectors) out.insert(out.end(), sector.begin(), sector.end());
  return out;
}

}  // namespace

Status UdfBridgeWriter::claimBlocks(ImageLayout& layout) {
  static_assert(kMainVdsBlock + kVdsBlocks == kReserveVdsBlock && kReserveVdsBlock + kVdsBlocks == kIntegrityBlock);
  EMBERLINE_TRY(layout.claimAt(kMainVdsBlock, kFixedBlocks, "the UDF volume descriptors"));
  EMBERLINE_TRY(layout.claimAt(kAnchorBlock, 1, "the UDF anchor"));
  closingAnchor_ = layout.claimAtEnd(1);
  // A DVD is recorded in whole ECC blocks: ending the image on one keeps the closing anchor at the last
  // block of the recorded volume, where readers look for it, instead of before the burn's padding.
  layout.endMultiple = kEccBlockBlocks;
  return {};
}

Status UdfBridgeWriter::countBlocks(ImageLayout& layout) {
  // The file structures are numbered from the partition's start on, so they must be one run: starting after
  // the anchor keeps them clear of the fixed blocks before it, and the file data is laid out after them.
  layout.nextBlock = std::max(layout.nextBlock, kAnchorBlock + 1);
  const std::uint32_t first = layout.nextBlock;
  EMBERLINE_TRY(udf_.countBlocks(layout));
  const BlockRange taken{first, layout.nextBlock - first};
  for (const BlockRange& claim : layout.fixedClaims())
    if (taken.overlaps(claim))
      return fail(ErrorKind::InvalidArgument, "the UDF file structures would run into block " +
                                                  std::to_string(claim.first) + ", which is laid out already");
  if (counted_) counted_(layout.nextBlock);
  return {};
}

void UdfBridgeWriter::writeDescriptors(const ImageLayout& /*layout*/, std::vector<Sector>& out) {
  for (const Sector& sector : udf_.recognitionSequence()) out.push_back(sector);
}

Status UdfBridgeWriter::writeData(const ImageLayout& layout, ImageContents& out) {
  out.moveTo(udf_.partitionStart() - layout.startLba);  // the file structures open the partition
  EMBERLINE_TRY(udf_.writeData(layout, out));
  out.moveTo(kMainVdsBlock);
  out.addBytes(bytesOf(udf_.volumeDescriptors(layout, kMainVdsBlock)), "the UDF volume descriptors");
  out.moveTo(kReserveVdsBlock);
  out.addBytes(bytesOf(udf_.volumeDescriptors(layout, kReserveVdsBlock)), "the UDF volume descriptors");
  out.moveTo(kIntegrityBlock);
  out.addBytes(bytesOf(udf_.integrityDescriptors(layout)), "the UDF integrity descriptors");
  out.moveTo(kAnchorBlock);
  out.addBytes(bytesOf({udf_.anchor(layout, kAnchorBlock)}), "the UDF anchor");
  const std::uint32_t last = layout.endClaimLba(closingAnchor_) - layout.startLba;
  out.moveTo(last);
  out.addBytes(bytesOf({udf_.anchor(layout, last)}), "the UDF anchor");
  return {};
}

}  // namespace emberline::image::udf
