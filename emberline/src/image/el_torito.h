#pragma once
/// @file El Torito boot: the boot record descriptor, the boot catalogue and the image's checks.

#include <cstdint>
#include <string>

#include "core/result.h"
#include "image/image_writer.h"

namespace emberline::image {

enum class BootMedia : std::uint8_t { NoEmulation = 0, Floppy12 = 1, Floppy144 = 2, Floppy288 = 3, HardDisk = 4 };

struct BootOptions {
  std::string path;
  std::uint8_t loadSectors = 0;  ///< 512-byte sectors loaded (no emulation)
  BootMedia media = BootMedia::NoEmulation;
  bool bootable = true;
  std::uint8_t platform = 0;
};

/// What the checks found out about the boot image.
struct BootImageFacts {
  std::uint64_t bytes = 0;
  std::uint8_t systemType = 0;  ///< partition type of a hard disk image
};

/// Refuses a boot image that is unreadable or does not fit its emulation.
Result<BootImageFacts> checkBootImage(const BootOptions& options);

Sector bootRecordDescriptor(std::uint32_t catalogLba);
/// The catalogue: validation entry and initial/default entry.
Sector bootCatalog(const BootOptions& options, const BootImageFacts& facts, std::uint32_t imageLba);

/// Adds the boot record descriptor and the catalogue block.
class ElToritoWriter final : public ImageWriter {
 public:
  ElToritoWriter(BootOptions options, BootImageFacts facts, std::size_t catalogExtent, std::size_t imageExtent)
      : options_(std::move(options)), facts_(facts), catalogExtent_(catalogExtent), imageExtent_(imageExtent) {}

  std::uint32_t descriptorCount() const override { return 1; }
  Status countBlocks(ImageLayout& layout) override;
  void writeDescriptors(const ImageLayout& layout, std::vector<Sector>& out) override;
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

 private:
  BootOptions options_;
  BootImageFacts facts_;
  std::size_t catalogExtent_;
  std::size_t imageExtent_;
};

}  // namespace emberline::image
