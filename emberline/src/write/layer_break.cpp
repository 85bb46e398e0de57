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
  // Drives move the break to an ECC block boundary: a break elsewhere would switch layers some
  // blocks after the one asked for, inside whatever the chosen block was meant to keep whole.
  const std::uint64_t lastAligned = q.layer0Maximum / kDvdEccBlock * kDvdEccBlock;
  if (q.candidates.empty()) {
    // Any block will do: the half, on an ECC block, so layer 0 is the longer one.
    const std::uint64_t aligned = roundUpBlocks(static_cast<std::uint32_t>(half), kDvdEccBlock);
    if (aligned > lastAligned)
      return fail(ErrorKind::NotSupported, "the recording of " + std::to_string(q.blocks) +
                                               " blocks leaves no ECC block boundary for the layer break between "
                                               "block " +
                                               std::to_string(half) + " and block " + std::to_string(q.layer0Maximum));
    return std::optional<std::uint32_t>(static_cast<std::uint32_t>(aligned));
  }
  std::optional<std::uint32_t> first;
  for (std::uint32_t offset : q.candidates) {
    const std::uint64_t at = std::uint64_t{q.start} + offset;
    if (at >= half && at <= lastAligned && at % kDvdEccBlock == 0 && offset < q.blocks && (!first || at < *first))
      first = static_cast<std::uint32_t>(at);
  }
  if (first) return first;
  return fail(ErrorKind::NotSupported,
              "the DVD-Video image of " + std::to_string(q.blocks) +
                  " blocks does not fit one layer, and none of its cell starts lies where the layer break can go: "
                  "on an ECC block boundary (a multiple of " +
                  std::to_string(kDvdEccBlock) + " blocks) between block " + std::to_string(half) +
                  " (layer 0 no shorter than layer 1) and block " + std::to_string(q.layer0Maximum) +
                  " (the end of layer 0)");
}

}  // namespace emberline::write
