#include "image/image_builder.h"

#include <sys/stat.h>

#include <unordered_map>
#include <vector>

#include "core/clock.h"
#include "image/file_data_writer.h"
#include "image/hierarchy_writer.h"
#include "image/iso_names.h"
#include "image/joliet_names.h"
#include "image/rock_ridge.h"
#include "image/terminator_writer.h"

namespace emberline::image {

namespace {

constexpr std::uint32_t kSystemAreaBlocks = 16;

const TreeNode* firstMultiExtentFile(const TreeNode& node) {
  if (!node.folder) return node.size > kMaxExtentBytes ? &node : nullptr;
  for (const auto& child : node.children)
    if (const TreeNode* found = firstMultiExtentFile(*child)) return found;
  return nullptr;
}

std::size_t fileCount(const TreeNode& node) {
  std::size_t files = node.folder ? 0 : 1;
  for (const auto& child : node.children) files += fileCount(*child);
  return files;
}

Result<unsigned> chooseLevel(const TreeNode& root, unsigned asked) {
  if (asked > 3) asked = 0;  // only 1 to 3 name a level; anything else leaves the choice to us
  const TreeNode* big = firstMultiExtentFile(root);
  if (big == nullptr) return asked == 0 ? 2u : asked;
  if (asked == 0 || asked == 3) return 3u;
  return fail(ErrorKind::InvalidArgument,
              big->treePath() + " is 4 GiB or larger: only interchange level 3 can hold it");
}

std::string cut(std::string text, std::size_t bytes) {
  if (text.size() > bytes) text.resize(bytes);
  return text;
}

std::string bigEndianBytes(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    out += static_cast<char>(c >> 8);
    out += static_cast<char>(c & 0xFF);
  }
  return out;
}

std::string ucs2Bytes(std::string_view text, std::size_t characters) {
  return bigEndianBytes(ucs2Text(text, characters));
}

// Hard links are one file: their records point at one extent.
class LinkedExtents final : public ExtentRegistry {
 public:
  LinkedExtents(ExtentRegistry& files, const UnixAttributeTable& attributes) : files_(files), attributes_(attributes) {}
  std::size_t extentOf(const TreeNode& file) override {
    const UnixAttributes* source = attributes_.find(file);
    if (source == nullptr || source->links < 2 || S_ISLNK(source->mode)) return files_.extentOf(file);
    const auto [it, added] = bySerial_.try_emplace(source->serial, 0);
    if (added) it->second = files_.extentOf(file);
    return it->second;
  }
  std::uint64_t bytesOf(std::size_t extent) const override { return files_.bytesOf(extent); }

 private:
  ExtentRegistry& files_;
  const UnixAttributeTable& attributes_;
  std::unordered_map<std::uint32_t, std::size_t> bySerial_;
};

struct PlacedWriter {
  std::unique_ptr<ImageWriter> writer;
  std::uint32_t firstBlock = 0;
};

Result<std::vector<DataPlacement>> placementsOf(const FileTree& tree, const std::vector<FileOrder>& order) {
  std::vector<DataPlacement> placements;
  for (const FileOrder& entry : order) {
    const TreeNode* file = tree.find(entry.treePath);
    if (file == nullptr)
      return fail(ErrorKind::InvalidArgument, "nothing at " + entry.treePath + " in the tree to lay out first");
    placements.push_back(DataPlacement{file, entry.block});
  }
  return placements;
}

// Runs the writers' phases: claim fixed blocks, count, write the descriptors
// (in list order, the set terminator among them), then the data.
Result<std::unique_ptr<ImageStream>> assemble(std::vector<PlacedWriter>& writers, ImageLayout& layout) {
  std::uint32_t descriptors = 0;
  for (const auto& placed : writers) descriptors += placed.writer->descriptorCount();
  layout.nextBlock = kSystemAreaBlocks + descriptors;
  for (auto& placed : writers) EMBERLINE_TRY(placed.writer->claimBlocks(layout));
  for (auto& placed : writers) {
    placed.firstBlock = layout.nextBlock;
    EMBERLINE_TRY(placed.writer->countBlocks(layout));
  }
  layout.close();

  std::vector<Sector> sectors;
  for (auto& placed : writers) {
    const std::size_t before = sectors.size();
    placed.writer->writeDescriptors(layout, sectors);
    if (sectors.size() - before != placed.writer->descriptorCount())
      return fail(ErrorKind::Internal, "an image writer wrote other descriptors than it counted");
  }
  std::vector<std::uint8_t> descriptorBytes;
  for (const Sector& sector : sectors) descriptorBytes.insert(descriptorBytes.end(), sector.begin(), sector.end());

  ImageContents contents;
  contents.addZeros(kSystemAreaBlocks);
  contents.addBytes(std::move(descriptorBytes), "the volume descriptors");
  for (auto& placed : writers) {
    contents.moveTo(placed.firstBlock);
    EMBERLINE_TRY(placed.writer->writeData(layout, contents));
  }
  EMBERLINE_TRY(contents.finish(layout.totalBlocks));
  return std::make_unique<ImageStream>(std::move(contents));
}

}  // namespace

Result<std::unique_ptr<ImageStream>> buildImage(const FileTree& tree, const BuildOptions& options) {
  auto level = chooseLevel(tree.root(), options.level);
  if (!level.ok()) return fail(std::move(level).error());

  ImageLayout layout;
  layout.startLba = options.startLba;
  layout.created = options.created != 0 ? options.created : recordingTime();
  auto data = std::make_unique<FileDataWriter>(layout);
  data->reserve(fileCount(tree.root()) + 2);  // the boot image and its catalogue

  std::vector<ExtraRootFile> extras;
  std::unique_ptr<ImageWriter> boot;
  if (options.boot) {
    auto facts = checkBootImage(*options.boot);
    if (!facts.ok()) return fail(std::move(facts).error());
    const std::size_t imageExtent = data->addSource(options.boot->path, facts->bytes);
    const std::size_t catalogExtent = layout.addExtent(kBlockSize);
    extras.push_back(ExtraRootFile{"BOOT.CAT", u"boot.cat", catalogExtent, layout.created});
    boot = std::make_unique<ElToritoWriter>(*options.boot, *facts, catalogExtent, imageExtent);
  }

  auto first = placementsOf(tree, options.dataOrder);
  if (!first.ok()) return fail(std::move(first).error());
  EMBERLINE_TRY(data->placeFirst(*first));

  std::vector<PlacedWriter> writers;
  const std::time_t recordTime = options.recordCreationTime ? layout.created : 0;
  LinkedExtents linked(*data, tree.attributes());
  ExtentRegistry& extents = options.rockRidge ? static_cast<ExtentRegistry&>(linked) : *data;
  auto iso = buildHierarchy(tree.root(), {Flavour::Iso, *level == 1, recordTime, layout.created, options.rockRidge},
                            extents, extras);
  if (!iso.ok()) return fail(std::move(iso).error());
  std::unique_ptr<SystemUsePlanner> rockRidge;
  if (options.rockRidge)
    rockRidge = std::make_unique<RockRidgePlanner>(tree.attributes(), RockRidgeOptions{options.keepOwners});
  writers.push_back({std::make_unique<HierarchyWriter>(
      std::move(*iso),
      VolumeText{cut(toDCharacters(options.volumeLabel), 32), cut(toACharacters(options.applicationId), 128),
                 cut(toACharacters(options.preparerId), 128), options.xaVolume,
                 cut(toACharacters(options.systemId), 32), options.volumeBlocks,
                 cut(toACharacters(options.publisherId), 128)},
      options.isoSystemUse, std::move(rockRidge))});
  // The boot record must be the descriptor right after the primary one.
  if (boot) writers.push_back({std::move(boot)});
  if (options.joliet) {
    auto joliet = buildHierarchy(tree.root(), {Flavour::Joliet, false, recordTime, layout.created, options.rockRidge},
                                 extents, extras);
    if (!joliet.ok()) return fail(std::move(joliet).error());
    writers.push_back({std::make_unique<HierarchyWriter>(
        std::move(*joliet), VolumeText{bigEndianBytes(jolietIdentifier(options.volumeLabel, 16)),
                                       ucs2Bytes(options.applicationId, 64),
                                       ucs2Bytes(options.preparerId, 64),
                                       false,
                                       {},
                                       options.volumeBlocks,
                                       ucs2Bytes(options.publisherId, 64)})});
  }
  writers.push_back({std::make_unique<TerminatorWriter>()});
  for (const WriterFactory& extension : options.extensions) {
    auto writer = extension(tree, *data);
    if (!writer.ok()) return fail(std::move(writer).error());
    writers.push_back({std::move(*writer)});
  }
  writers.push_back({std::move(data)});
  return assemble(writers, layout);
}

}  // namespace emberline::image
