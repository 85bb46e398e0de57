#pragma once
// A file tree as the flat API holds it: the tree, its last built image and
// what a recording of that image needs to know.

#include <cstdint>
#include <ctime>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "api/library_object.h"
#include "emberline/emberline.h"
#include "image/el_torito.h"
#include "image/file_tree.h"
#include "image/image_stream.h"
#include "image/tree_observer.h"

namespace emberline {

struct FileTreeObject final : EmberlineObject {
  /// @param treeObserver may be null: the tree then reports nothing.
  explicit FileTreeObject(std::unique_ptr<image::TreeObserver> treeObserver)
      : observer(std::move(treeObserver)), tree(observer.get()) {}

  std::mutex mutex;  ///< one call at a time per tree
  std::unique_ptr<image::TreeObserver> observer;
  image::FileTree tree;
  std::optional<image::BootOptions> boot;
  std::unique_ptr<image::ImageStream> image;  ///< the last image built, until the tree changes
  std::uint32_t imageStartLba = 0;            ///< the address the image was laid out for
  bool rockRidge = false;                     ///< images carry Rock Ridge records
  bool keepOwners = false;                    ///< ... with the sources' owners and modes
  std::time_t created = 0;                    ///< the creation time images record; 0: when each is built
  /// The tree of a DVD-Video structure: laid out once, where the structure's files must lie, and never changed.
  bool fixedLayout = false;
  /// Image blocks (from the image's first) at which a title's cell starts; set with the image of a
  /// fixed layout and never changed after, so it is read without the lock.
  std::vector<std::uint32_t> layerBreaks;

  /// Where a dual-layer recording of the image may start its second layer: the blocks, counted from
  /// the image's first, that start a cell of a DVD-Video title, in ascending order. Empty for a data
  /// tree, whose image may break anywhere.
  std::vector<std::uint32_t> layerBreakCandidates() const { return layerBreaks; }
};

/// The file tree of a handle, or null when the handle is not a live tree.
std::shared_ptr<FileTreeObject> findFileTree(EmberlineHandle handle);

}  // namespace emberline
