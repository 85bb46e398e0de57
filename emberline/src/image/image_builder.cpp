#include "image/image_builder.h"

#include <vector>

#include "image/file_data_writer.h"
#include "image/hierarchy_writer.h"
#include "image/iso_names.h"
#include "image/joliet_names.h"

namespace emberline::image {

namespace {

constexpr std::uint32_t kSystemAreaBlocks = 16;

const TreeNode* firstMultiExtentFile(const TreeNode& node) {
  if (!node.folder) return node.size > kMaxExtentBytes ? &node : nullptr;
  for (const auto& child : node.children)
    if (const TreeNode* found = firstMultiExtentFile(*child)) return found;
  return nullptr;
}

Result<unsigned> chooseLevel(const TreeNode& root, unsigned asked) {
  if (asked > 3) asked = 0;  // only 1 to 3 name a level; anything else leaves the choice to us
  const TreeNode* big = firstMultiExtentFile(root);
  if (big == nullptr) return asked == 0 ? 2u : asked;
  if (asked == 0 || asked == 3) return 3u;
  return fail(ErrorKind::InvalidArgument, big->treePath() + " is 4 GiB or larger: only interchange level 3 can hold it");
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

struct PlacedWriter {
  std::unique_ptr<ImageWriter> writer;
  std::uint32_t firstBlock = 0;
  std::uint32_t endBlock = 0;
};

}  // namespace

Result<std::unique_ptr<ImageStream>> buildImage(const FileTree& tree, const BuildOptions& options) {
  auto level = chooseLevel(tree.root(), options.level);
  if (!level.ok()) return fail(std::move(level).error());

  ImageLayout layout;
  layout.startLba = options.startLba;
  layout.created = options.created != 0 ? options.created : std::time(nullptr);
  auto data = std::make_unique<FileDataWriter>(layout);

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

  std::vector<PlacedWriter> writers;
  auto iso = buildHierarchy(tree.root(), {Flavour::Iso, *level == 1}, *data, extras);
  if (!iso.ok()) return fail(std::move(iso).error());
  writers.push_back({std::make_unique<HierarchyWriter>(
      std::move(*iso), VolumeText{cut(toDCharacters(options.volumeLabel), 32),
                                  cut(toACharacters(options.applicationId), 128),
                                  cut(toACharacters(options.preparerId), 128)})});
  // The boot record must be the descriptor right after the primary one.
  if (boot) writers.push_back({std::move(boot)});
  if (options.joliet) {
    auto joliet = buildHierarchy(tree.root(), {Flavour::Joliet, false}, *data, extras);
    if (!joliet.ok()) return fail(std::move(joliet).error());
    writers.push_back({std::make_unique<HierarchyWriter>(
        std::move(*joliet), VolumeText{bigEndianBytes(jolietIdentifier(options.volumeLabel, 16)),
                                       ucs2Bytes(options.applicationId, 64), ucs2Bytes(options.preparerId, 64)})});
  }
  writers.push_back({std::move(data)});

  std::uint32_t descriptors = 1;  // the terminator
  for (const auto& placed : writers) descriptors += placed.writer->descriptorCount();
  layout.nextBlock = kSystemAreaBlocks + descriptors;
  for (auto& placed : writers) {
    placed.firstBlock = layout.nextBlock;
    EMBERLINE_TRY(placed.writer->countBlocks(layout));
    placed.endBlock = layout.nextBlock;
  }
  layout.totalBlocks = layout.nextBlock;

  std::vector<Sector> sectors;
  for (auto& placed : writers) placed.writer->writeDescriptors(layout, sectors);
  sectors.push_back(terminatorDescriptor());
  std::vector<std::uint8_t> descriptorBytes;
  for (const Sector& sector : sectors) descriptorBytes.insert(descriptorBytes.end(), sector.begin(), sector.end());

  ImageContents contents;
  contents.addZeros(kSystemAreaBlocks);
  contents.addBytes(std::move(descriptorBytes));
  for (auto& placed : writers) {
    if (contents.nextBlock() != placed.firstBlock) return fail(ErrorKind::Internal, "image writers disagree on the layout");
    EMBERLINE_TRY(placed.writer->writeData(layout, contents));
    if (contents.nextBlock() != placed.endBlock) return fail(ErrorKind::Internal, "an image writer wrote other than it counted");
  }
  return std::make_unique<ImageStream>(std::move(contents));
}

}  // namespace emberline::image
