#pragma once
/// @file Lays a file tree out as an ISO 9660 (+ Joliet, + El Torito) image stream.

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>

#include "core/result.h"
#include "image/el_torito.h"
#include "image/file_tree.h"
#include "image/image_stream.h"

namespace emberline::image {

struct BuildOptions {
  std::uint32_t startLba = 0;  ///< every address recorded is absolute from here
  unsigned level = 0;          ///< 0 chooses: 2, or 3 when a file needs several extents
  bool joliet = true;
  std::string volumeLabel;
  std::string applicationId;
  std::string preparerId;
  std::optional<BootOptions> boot;
  std::time_t created = 0;  ///< 0: now
};

/// Builds the image; fails naming the file or folder that cannot be laid out.
Result<std::unique_ptr<ImageStream>> buildImage(const FileTree& tree, const BuildOptions& options);

}  // namespace emberline::image
