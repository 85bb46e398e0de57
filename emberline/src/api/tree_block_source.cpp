#include "api/tree_block_source.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace emberline {

namespace {

constexpr std::size_t kImageBlock = 2048;

class TreeImageSource final : public write::BlockSource {
 public:
  TreeImageSource(TreeImageLease lease, std::uint32_t blocks) : lease_(std::move(lease)), blocks_(blocks) {}

  std::size_t blockSize() const override { return kImageBlock; }
  std::uint32_t blockCount() const override { return blocks_; }
  std::string describe() const override { return "the file tree's image"; }
  Status read(std::span<std::uint8_t> out) override { return lease_.image->read(out); }

 private:
  TreeImageLease lease_;
  std::uint32_t blocks_;
};

/// The image of @p tree leased and read from its first block, with its block count.
Result<std::pair<TreeImageLease, std::uint32_t>> leaseWholeImage(EmberlineHandle tree) {
  auto lease = leaseTreeImage(tree);
  if (!lease.ok()) return fail(std::move(lease).error());
  const std::uint64_t bytes = lease->image->size();
  if (bytes == 0 || bytes % kImageBlock != 0 || bytes / kImageBlock > std::numeric_limits<std::int32_t>::max())
    return fail(ErrorKind::InvalidArgument, "the file tree's image is not a whole number of 2048-byte blocks");
  lease->image->seekToBegin();
  return std::pair{std::move(*lease), static_cast<std::uint32_t>(bytes / kImageBlock)};
}

/// What lies in image block @p block, found among the image's pieces: a file by its path on the
/// disc, or the structure the image's writers named (a directory by its folder).
std::optional<verify::SectorOwner> imageOwner(const image::ImageContents& contents, std::uint32_t block) {
  const std::uint64_t offset = std::uint64_t{block} * kImageBlock;
  const auto& segments = contents.segments();
  auto after = std::upper_bound(segments.begin(), segments.end(), offset,
                                [](std::uint64_t at, const image::ImageSegment& s) { return at < s.offset; });
  if (after == segments.begin()) return std::nullopt;
  const image::ImageSegment& segment = *(after - 1);
  if (offset >= segment.offset + segment.length) return std::nullopt;
  if (segment.kind == image::ImageSegment::Kind::File)
    return verify::SectorOwner{contents.discPathOf(segment), offset - segment.offset, kImageBlock};
  const std::string_view what = contents.describe(segment);
  if (what.empty()) return std::nullopt;
  return verify::SectorOwner{std::string(what), offset - segment.offset, kImageBlock, true};
}

}  // namespace

Result<verify::VerifyTrack> treeVerifyTrack(EmberlineHandle tree) {
  auto leased = leaseWholeImage(tree);
  if (!leased.ok()) return fail(std::move(leased).error());
  auto& [lease, blocks] = *leased;
  verify::VerifyTrack track;
  track.startLba = static_cast<std::int32_t>(lease.startLba);
  // The lease, held by the source, keeps the image and its contents alive and unchanged.
  track.owner = [image = lease.image](std::uint32_t block) { return imageOwner(image->contents(), block); };
  track.source = std::make_unique<TreeImageSource>(std::move(lease), blocks);
  return track;
}

Result<write::PlannedTrack> treeImageTrack(EmberlineHandle tree) {
  auto leased = leaseWholeImage(tree);
  if (!leased.ok()) return fail(std::move(leased).error());
  auto& [lease, blocks] = *leased;
  write::PlannedTrack track;
  track.requiredStart = static_cast<std::int32_t>(lease.startLba);
  track.layerBreakCandidates = lease.layerBreakCandidates;
  track.source = std::make_unique<TreeImageSource>(std::move(lease), blocks);
  return track;
}

}  // namespace emberline
