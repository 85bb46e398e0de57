#pragma once
/**
 * @file
 * The UDF 1.02 side of a bridge image. It shares the file extents that the
 * ISO 9660 side lays out, and adds its own directory structure at the start
 * of its partition: the file set descriptor, a file entry for every folder
 * and file, and the folders' file identifiers. The volume structures outside
 * the partition go at fixed blocks that the image builder keeps free.
 */

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "image/image_writer.h"
#include "image/udf/udf_fields.h"
#include "image/udf/udf_volume.h"

namespace emberline::image::udf {

/// Fixed blocks of the volume, counted from the image start.
inline constexpr std::uint32_t kMainVdsBlock = 32;
inline constexpr std::uint32_t kReserveVdsBlock = 48;
inline constexpr std::uint32_t kVdsBlocks = 16;
inline constexpr std::uint32_t kIntegrityBlock = 64;  ///< and its terminator at 65
inline constexpr std::uint32_t kAnchorBlock = 256;

/// One folder or file as the UDF side records it.
struct UdfEntry {
  std::string name;  ///< UTF-8; empty for the root
  bool folder = false;
  std::size_t extent = 0;  ///< files: the index of their data in ImageLayout::extents
  std::time_t modified = 0;
  std::vector<UdfEntry> children;
};

struct UdfVolumeText {
  std::string volumeId;
  std::string publisher;
  std::string applicationId;
};

class UdfWriter final : public ImageWriter {
 public:
  UdfWriter(UdfEntry root, UdfVolumeText text);

  /// Starts the partition at the next free block and takes the blocks of the directory structure.
  Status countBlocks(ImageLayout& layout) override;
  /// The directory structure; file data lies in the extents other writers record.
  Status writeData(const ImageLayout& layout, ImageContents& out) override;

  /// Everything the builder places outside the partition, once every writer has counted its blocks.
  /// The partition runs to the block before the last of the image, which holds the closing anchor.
  std::vector<Sector> recognitionSequence() const { return udf::recognitionSequence(); }
  std::vector<Sector> volumeDescriptors(const ImageLayout& layout, std::uint32_t block) const;
  std::vector<Sector> integrityDescriptors(const ImageLayout& layout) const;
  Sector anchor(const ImageLayout& layout, std::uint32_t block) const;

  std::uint32_t partitionStart() const { return partitionStart_; }

 private:
  struct Placed {
    const UdfEntry* entry = nullptr;
    std::size_t parent = 0;        ///< index in placed_
    std::uint32_t entryBlock = 0;  ///< partition-relative block of its file entry
    std::uint32_t dataBlock = 0;   ///< folders: where their identifiers start
    std::uint32_t dataBytes = 0;   ///< folders: the identifiers' length
    std::uint64_t uniqueId = 0;
    std::vector<std::size_t> children;
  };

  Status place(const UdfEntry& entry, std::size_t parent, std::uint32_t& block);
  VolumeFacts facts(const ImageLayout& layout) const;
  Status fileEntry(const Placed& placed, const ImageLayout& layout, Bytes out) const;
  void identifiers(const Placed& folder, Bytes out) const;

  UdfEntry root_;
  UdfVolumeText text_;
  std::vector<Placed> placed_;
  std::uint32_t partitionStart_ = 0;  ///< absolute
  std::uint32_t metadataBlocks_ = 0;
  std::uint32_t files_ = 0;
  std::uint32_t folders_ = 0;
};

}  // namespace emberline::image::udf
