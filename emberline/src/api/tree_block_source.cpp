#include "api/tree_block_source.h"

#include <limits>

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

}  // namespace

Result<write::PlannedTrack> treeImageTrack(EmberlineHandle tree) {
  auto lease = leaseTreeImage(tree);
  if (!lease.ok()) return fail(std::move(lease).error());
  const std::uint64_t bytes = lease->image->size();
  if (bytes == 0 || bytes % kImageBlock != 0 || bytes / kImageBlock > std::numeric_limits<std::int32_t>::max())
    return fail(ErrorKind::InvalidArgument, "the file tree's image is not a whole number of 2048-byte blocks");
  lease->image->seekToBegin();
  const auto blocks = static_cast<std::uint32_t>(bytes / kImageBlock);
  write::PlannedTrack track;
  track.requiredStart = static_cast<std::int32_t>(lease->startLba);
  track.layerBreakCandidates = lease->layerBreakCandidates;
  track.source = std::make_unique<TreeImageSource>(std::move(*lease), blocks);
  return track;
}

}  // namespace emberline
