#include "write/layer_break.h"

#include <algorithm>
#include <string>

#include "write/plan_checks.h"

namespace emberline::write {

Result<std::optional<std::uint32_t>> chooseLayerBreak(const LayerBreakQuestion& q) {
  const std::uint64_t end = std::uint64_t{q.start} + q.blocks;
  if (end <= q.layer0Maximum) return std::optional<std::uint32_t>{};
  // Layer 1 runs back from where layer 0 ends: it can hold no more than layer 0.
  const std::uint64_t half = (end + 1) / 2;
  if (half > q.layer0Maximum)
    return fail(ErrorKind::NotSupported, "the recording needs " + std::to_string(q.blocks) +
                                             " blocks but the two layers of the disc hold " +
                                             std::to_string(2ULL * q.layer0Maximum - q.start));
  if (q.candidates.empty()) {
    // Any block will do: the half, on an ECC block, so layer 0 is the longer one.
    const std::uint64_t aligned = roundUpBlocks(static_cast<std::uint32_t>(half), kDvdEccBlock);
    return std::optional<std::uint32_t>(static_cast<std::uint32_t>(std::min<std::uint64_t>(aligned, q.layer0Maximum)));
  }
  std::optional<std::uint32_t> first;
  for (std::uint32_t offset : q.candidates) {
    const std::uint64_t at = std::uint64_t{q.start} + offset;
    if (at >= half && at <= q.layer0Maximum && offset < q.blocks && (!first || at < *first))
      first = static_cast<std::uint32_t>(at);
  }
  if (first) return first;
  return fail(ErrorKind::NotSupported,
              "the DVD-Video image of " + std::to_string(q.blocks) +
                  " blocks does not fit one layer, and none of its cell starts lies where the layer break can go: "
                  "between block " +
                  std::to_string(half) + " (layer 0 no shorter than layer 1) and block " +
                  std::to_string(q.layer0Maximum) + " (the end of layer 0)");
}

}  // namespace emberline::write
