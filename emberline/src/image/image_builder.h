#pragma once
/// @file Lays a file tree out as an ISO 9660 (+ Joliet, + El Torito) image stream.

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"
#include "image/el_torito.h"
#include "image/file_tree.h"
#include "image/hierarchy_writer.h"
#include "image/image_stream.h"

namespace emberline::image {

/// Makes a writer that joins the image after the ISO 9660 ones: its volume
/// descriptors follow the set terminator (a UDF recognition sequence), its
/// data the hierarchies. It finds each file's extent through `extents`, the
/// same ones the ISO 9660 records point at.
using WriterFactory =
    std::function<Result<std::unique_ptr<ImageWriter>>(const FileTree& tree, ExtentRegistry& extents)>;

/// A file whose data goes before the others' (in the order the list gives),
/// at `block` (counted from the image start) when that is set.
struct FileOrder {
  std::string treePath;
  std::optional<std::uint32_t> block;
};

struct BuildOptions {
  std::uint32_t startLba = 0;  ///< every address recorded is absolute from here
  unsigned level = 0;          ///< 0 chooses: 2, or 3 when a file needs several extents
  bool joliet = true;
  std::string volumeLabel;
  std::string applicationId;
  std::string preparerId;
  std::string systemId;  ///< the primary volume's system identifier
  std::string publisherId;
  /// The volume's size in blocks from LBA 0 when the disc runs on past the
  /// image (tracks the records point into); 0: the image's own end.
  std::uint32_t volumeBlocks = 0;
  std::optional<BootOptions> boot;
  std::time_t created = 0;  ///< 0: now
  /// Records every folder and file with `created` instead of its own time.
  bool recordCreationTime = false;
  /// The data of these files first, in this order; the rest follows in tree order.
  std::vector<FileOrder> dataOrder;
  /// System-use bytes of the ISO 9660 hierarchy's records (CD-ROM XA attributes).
  SystemUseSource isoSystemUse;
  /// Marks the primary volume as CD-ROM XA, whose records carry XA attributes.
  bool xaVolume = false;
  /// Rock Ridge records in the ISO 9660 hierarchy, from the attributes the tree kept.
  bool rockRidge = false;
  /// With Rock Ridge: owners and modes as the sources have them.
  bool keepOwners = false;
  /// Writers after the set terminator, in this order.
  std::vector<WriterFactory> extensions;
};

/// Builds the image; fails naming the file or folder that cannot be laid out.
Result<std::unique_ptr<ImageStream>> buildImage(const FileTree& tree, const BuildOptions& options);

}  // namespace emberline::image
