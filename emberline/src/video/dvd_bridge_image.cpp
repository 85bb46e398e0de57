#include "video/dvd_bridge_image.h"

#include "image/image_builder.h"
#include "image/udf/udf_bridge_writer.h"
#include "image/udf/udf_tree.h"

namespace emberline::video {

namespace {

constexpr std::string_view kVideoTs = "/VIDEO_TS";

/// Every entry takes the volume's time: the writer records its creation time for entries without one.
void dropTimes(image::udf::UdfEntry& entry) {
  entry.modified = 0;
  for (image::udf::UdfEntry& child : entry.children) dropTimes(child);
}

Status addFiles(const DvdFolder& folder, bool audioTs, image::FileTree& tree) {
  if (!tree.root().children.empty())
    return fail(ErrorKind::Internal, "a DVD-Video image needs a tree of its own, and this one is filled");
  if (audioTs) EMBERLINE_TRY(tree.addEmptyFolder("/AUDIO_TS"));
  EMBERLINE_TRY(tree.addEmptyFolder(kVideoTs));
  for (const DvdFile& file : folder.files) {
    EMBERLINE_TRY(tree.addFile(kVideoTs, file.source, file.name));
    // The layout was planned from the sizes the check saw; a file that has changed since would overlap the next.
    const image::TreeNode* added = tree.find(std::string(kVideoTs) + "/" + file.name);
    if (added == nullptr || added->size != file.bytes)
      return fail(ErrorKind::File, file.source + " changed while the DVD-Video folder was being read (" +
                                       std::to_string(file.bytes) + " bytes when checked" +
                                       (added ? ", " + std::to_string(added->size) + " now)" : ")"));
  }
  return {};
}

/// Builds the image with `pins` (empty: every file in disc order, as early as it can go) and reports the
/// first block after the file systems' structures, where the file data may start.
Result<std::unique_ptr<image::ImageStream>> build(const image::FileTree& tree, const DvdFolder& folder,
                                                  const DvdVolumeText& text, const std::vector<std::uint32_t>& pins,
                                                  std::uint32_t& dataStart) {
  image::BuildOptions options;
  options.level = 1;  // every DVD-Video name is 8.3, and no file passes 1 GiB
  options.joliet = false;
  options.volumeLabel = text.volumeLabel;
  options.publisherId = text.publisher;
  options.applicationId = text.application;
  options.preparerId = text.application;
  options.created = text.created;
  options.recordCreationTime = true;
  for (std::size_t i = 0; i < folder.files.size(); ++i) {
    image::FileOrder order{std::string(kVideoTs) + "/" + folder.files[i].name, std::nullopt};
    if (!pins.empty()) order.block = pins[i];
    options.dataOrder.push_back(std::move(order));
  }
  const image::udf::UdfVolumeText udfText{text.volumeLabel, text.publisher, text.application};
  options.extensions.push_back(
      [&udfText, &dataStart](const image::FileTree& content,
                             image::ExtentRegistry& extents) -> Result<std::unique_ptr<image::ImageWriter>> {
        image::udf::UdfEntry root = image::udf::udfTreeOf(content.root(), extents);
        dropTimes(root);
        return std::unique_ptr<image::ImageWriter>(std::make_unique<image::udf::UdfBridgeWriter>(
            std::move(root), udfText, [&dataStart](std::uint32_t block) { dataStart = block; }));
      });
  return image::buildImage(tree, options);
}

}  // namespace

Result<DvdBridgeImage> buildDvdBridgeImage(const DvdFolder& folder, bool audioTs, const DvdVolumeText& text,
                                           image::FileTree& tree) {
  EMBERLINE_TRY(addFiles(folder, audioTs, tree));

  // Neither file system's structures depend on where the data goes, so a first layout with the files
  // packed tells where VIDEO_TS.IFO may start; the second pins every file where the IFOs place it.
  std::uint32_t earliest = 0;
  auto packed = build(tree, folder, text, {}, earliest);
  if (!packed.ok()) return fail(std::move(packed).error());
  auto plan = planDvdLayout(folder, earliest);
  if (!plan.ok()) return fail(std::move(plan).error());

  std::vector<std::uint32_t> pins;
  for (const DvdFile& file : plan->files) pins.push_back(file.sector);
  std::uint32_t dataStart = 0;
  auto pinned = build(tree, folder, text, pins, dataStart);
  if (!pinned.ok()) return fail(std::move(pinned).error());
  if (dataStart != earliest)
    return fail(ErrorKind::Internal, "the DVD-Video image's structures moved between its two layouts");
  return DvdBridgeImage{std::move(*pinned), std::move(*plan)};
}

}  // namespace emberline::video
