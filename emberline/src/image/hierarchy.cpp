#include "image/hierarchy.h"

#include <algorithm>
#include <deque>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "image/iso_names.h"
#include "image/joliet_names.h"

namespace emberline::image {

namespace {

constexpr unsigned kMaxIsoLevels = 8;
constexpr std::size_t kMaxIsoPath = 255;
constexpr std::size_t kMaxJolietPathBytes = 240;
constexpr unsigned kMaxCounter = 100000;

std::string bigEndianBytes(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    out += static_cast<char>(c >> 8);
    out += static_cast<char>(c & 0xFF);
  }
  return out;
}

std::u16string folded(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out)
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  return out;
}

// Names one directory's entries in one hierarchy; names the tree already made
// unique stay as they are, anything else gets a counter.
class EntryNamer {
 public:
  explicit EntryNamer(const HierarchyOptions& options) : options_(options) {}

  Result<std::string> iso(const std::string& wanted, bool directory) {
    std::string name = wanted;
    for (unsigned counter = 1; !isoTaken_.insert(name).second; ++counter) {
      if (counter > kMaxCounter) return fail(ErrorKind::InvalidArgument, "no free ISO 9660 name for " + wanted);
      name = isoNameWithCounter(wanted, directory, counter, limits());
    }
    return directory ? name : name + ";1";
  }

  Result<std::string> joliet(const std::u16string& wanted) {
    std::u16string name = wanted;
    // With Rock Ridge, names that differ in case only stay apart, as the tree keeps them.
    const auto key = [&] { return options_.rockRidge ? name : folded(name); };
    for (unsigned counter = 1; !jolietTaken_.insert(key()).second; ++counter) {
      if (counter > kMaxCounter) return fail(ErrorKind::InvalidArgument, "no free Joliet name in a folder");
      name = jolietNameWithCounter(wanted, counter);
    }
    return bigEndianBytes(name);
  }

  const IsoNameLimits& limits() const { return options_.level1Names ? kLevel1Names : kLevel2Names; }

 private:
  const HierarchyOptions& options_;
  std::set<std::string> isoTaken_;
  std::set<std::u16string> jolietTaken_;
};

Result<std::string> identifierOf(const TreeNode& node, EntryNamer& namer, const HierarchyOptions& options) {
  if (options.flavour == Flavour::Joliet) return namer.joliet(std::u16string(node.jolietName));
  const std::string wanted =
      options.level1Names ? isoName(node.name, node.folder, kLevel1Names) : std::string(node.isoName);
  return namer.iso(wanted, node.folder);
}

// The tree nodes a folder's entries come from: its children, or for the
// relocation folder (null) the folders moved there.
std::vector<const TreeNode*> sourcesOf(const Hierarchy& hierarchy, const TreeNode* folder) {
  if (folder == nullptr) return hierarchy.relocatedFolders;
  std::vector<const TreeNode*> sources;
  sources.reserve(folder->children.size());
  for (const auto& child : folder->children) sources.push_back(child.get());
  return sources;
}

// The identifiers of a folder's entries in naming order: its children, the
// relocation folder, the image's own files. The same folder gets the same
// names every time, which is what lets them be made again instead of kept.
Status nameEntries(const Hierarchy& hierarchy, std::size_t index, const std::vector<const TreeNode*>& sources,
                   std::vector<std::string>& names) {
  const HierarchyOptions& options = hierarchy.options;
  EntryNamer namer(options);
  names.clear();
  for (const TreeNode* child : sources) {
    auto identifier = identifierOf(*child, namer, options);
    if (!identifier.ok()) return fail(std::move(identifier).error());
    names.push_back(std::move(*identifier));
  }
  if (index != 0) return {};
  if (!hierarchy.relocatedFolders.empty()) {
    auto identifier = namer.iso("RR_MOVED", true);
    if (!identifier.ok()) return fail(std::move(identifier).error());
    names.push_back(std::move(*identifier));
  }
  for (const ExtraRootFile& extra : hierarchy.extras) {
    auto identifier =
        options.flavour == Flavour::Joliet ? namer.joliet(extra.jolietName) : namer.iso(extra.isoName, false);
    if (!identifier.ok()) return fail(std::move(identifier).error());
    names.push_back(std::move(*identifier));
  }
  return {};
}

std::time_t timeOf(const HierarchyOptions& options, const TreeNode& node) {
  if (options.recordTime != 0) return options.recordTime;
  // A folder of the tree's own has no source to take a time from.
  if (node.folder && node.sourceName.empty() && options.ownFolderTime != 0) return options.ownFolderTime;
  return node.modified;
}

std::size_t pathLength(const std::vector<HierarchyDirectory>& dirs, std::size_t dir, std::size_t leafBytes,
                       Flavour flavour) {
  // ISO counts characters with a separator per level; Joliet counts UCS-2 bytes.
  const std::size_t separator = flavour == Flavour::Joliet ? 2 : 1;
  std::size_t length = leafBytes;
  for (std::size_t at = dir; at != 0; at = dirs[at].parent) length += dirs[at].identifier.size() + separator;
  return length;
}

Error tooLong(const std::string& treePath, Flavour flavour) {
  return Error::make(ErrorKind::InvalidArgument,
                     flavour == Flavour::Joliet
                         ? "the path " + treePath + " is longer than Joliet's 240 bytes; shorten its names"
                         : "the path " + treePath + " is longer than ISO 9660's 255 characters; shorten its names");
}

// The folders that lie deeper than ISO 9660's levels: each moves into the
// relocation folder (level 2), and its own subfolders count on from there.
void findRelocated(const TreeNode& folder, unsigned level, std::vector<const TreeNode*>& relocated) {
  for (const auto& child : folder.children) {
    if (!child->folder) continue;
    unsigned childLevel = level + 1;
    if (childLevel > kMaxIsoLevels) {
      relocated.push_back(child.get());
      childLevel = 3;
    }
    findRelocated(*child, childLevel, relocated);
  }
}

}  // namespace

Status FolderEntries::fill(const Hierarchy& hierarchy, std::size_t dir) {
  const HierarchyDirectory& folder = hierarchy.directories[dir];
  const bool relocation = dir != 0 && folder.node == nullptr;
  const std::vector<const TreeNode*> sources = sourcesOf(hierarchy, relocation ? nullptr : folder.node);
  EMBERLINE_TRY(nameEntries(hierarchy, dir, sources, names_));
  const TreeNode& root = *hierarchy.directories.front().node;
  entries_.clear();
  entries_.reserve(folder.entries.size());
  for (const PlacedEntry& placed : folder.entries) {
    const std::size_t at = placed.index();
    if (at >= names_.size()) return fail(ErrorKind::Internal, "the folder " + folder.treePath + " changed");
    HierarchyEntry entry;
    entry.identifier = names_[at];
    entry.target = placed.target;
    entry.relocated = placed.relocated();
    if (at < sources.size()) {
      entry.node = sources[at];
      entry.directory = entry.node->folder && !entry.relocated;
      entry.modified = timeOf(hierarchy.options, *entry.node);
    } else if (dir == 0 && !hierarchy.relocatedFolders.empty() && at == sources.size()) {
      entry.directory = true;  // the relocation folder
      entry.modified = timeOf(hierarchy.options, root);
    } else {
      const std::size_t extra = at - sources.size() - (hierarchy.relocatedFolders.empty() ? 0 : 1);
      entry.modified = hierarchy.extras[extra].modified;
    }
    entries_.push_back(entry);
  }
  return {};
}

Result<Hierarchy> buildHierarchy(const TreeNode& root, const HierarchyOptions& options, ExtentRegistry& extents,
                                 const std::vector<ExtraRootFile>& extras) {
  Hierarchy hierarchy;
  hierarchy.flavour = options.flavour;
  hierarchy.options = options;
  hierarchy.extras = extras;
  auto& dirs = hierarchy.directories;
  HierarchyDirectory top;
  top.identifier = std::string_view("\0", 1);
  top.treePath = "/";
  top.node = &root;
  top.modified = timeOf(options, root);
  dirs.push_back(std::move(top));

  // Relocation is decided on the whole tree first: the relocation folder is
  // one of the root's entries, and its entries come before the folders
  // they were moved out of.
  std::vector<const TreeNode*>& relocated = hierarchy.relocatedFolders;
  if (options.rockRidge && options.flavour == Flavour::Iso) findRelocated(root, 1, relocated);
  const std::unordered_set<const TreeNode*> isRelocated(relocated.begin(), relocated.end());
  std::unordered_map<const TreeNode*, std::size_t> relocatedIndex;
  if (!relocated.empty()) {
    // Named as established tools name it, unless the root holds that name already.
    hierarchy.relocationName = "rr_moved";
    const auto taken = [&](const std::string& name) {
      return std::any_of(root.children.begin(), root.children.end(), [&](const auto& c) { return c->name == name; });
    };
    for (unsigned counter = 1; taken(hierarchy.relocationName); ++counter)
      hierarchy.relocationName = "rr_moved_" + std::to_string(counter);
  }

  // A null folder is the relocation folder.
  std::deque<std::pair<std::size_t, const TreeNode*>> pending{{0, &root}};
  std::vector<std::string> names;
  while (!pending.empty()) {
    const auto [index, node] = pending.front();
    pending.pop_front();
    const std::vector<const TreeNode*> sources = sourcesOf(hierarchy, node);
    EMBERLINE_TRY(nameEntries(hierarchy, index, sources, names));
    std::vector<PlacedEntry> entries;  // in naming order
    entries.reserve(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
      PlacedEntry entry{static_cast<std::uint32_t>(i), 0};
      const TreeNode* child = i < sources.size() ? sources[i] : nullptr;
      if (child == nullptr) {
        const std::size_t extra = i - sources.size() - (relocated.empty() ? 0 : 1);
        if (relocated.empty() || i > sources.size()) entry.target = static_cast<std::uint32_t>(extras[extra].extent);
      } else if (child->folder) {
        if (node != nullptr && isRelocated.contains(child)) {
          // The folder itself was laid out under the relocation folder, whose entries came first.
          entry.source |= PlacedEntry::kRelocatedBit;
          entry.target = static_cast<std::uint32_t>(relocatedIndex.at(child));
          dirs[entry.target].home = index;
          ++dirs[index].folders;
        } else if (options.flavour == Flavour::Iso && !options.rockRidge && dirs[index].level + 1 > kMaxIsoLevels) {
          return fail(ErrorKind::InvalidArgument,
                      "the folder " + child->treePath() + " lies deeper than the 8 levels ISO 9660 allows");
        }
      } else {
        entry.target = static_cast<std::uint32_t>(extents.extentOf(*child));
      }
      if (child != nullptr) {
        const std::size_t limit = options.flavour == Flavour::Joliet ? kMaxJolietPathBytes : kMaxIsoPath;
        if (!options.rockRidge && pathLength(dirs, index, names[i].size(), options.flavour) > limit)
          return fail(tooLong(child->treePath(), options.flavour));
      }
      entries.push_back(entry);
    }
    // Folders are numbered in the order the sorted entries list them.
    const auto less = [&](const PlacedEntry& a, const PlacedEntry& b) {
      const std::string_view left = names[a.index()], right = names[b.index()];
      if (options.flavour == Flavour::Joliet) return left < right;
      return isoIdentifierLess(left, right);
    };
    std::sort(entries.begin(), entries.end(), less);
    for (PlacedEntry& entry : entries) {
      const std::size_t i = entry.index();
      const TreeNode* folder = i < sources.size() ? sources[i] : nullptr;
      const bool relocationFolder = index == 0 && !relocated.empty() && i == sources.size();
      if (entry.relocated() || !(relocationFolder || (folder != nullptr && folder->folder))) continue;
      HierarchyDirectory dir;
      // Kept apart from the entries: the path table and the lengths of
      // deeper paths need it while the entries are named again.
      dir.identifier = hierarchy.identifiers.store(names[i]);
      dir.parent = index;
      dir.home = index;
      dir.level = dirs[index].level + 1;
      dir.treePath = folder != nullptr ? folder->treePath() : "/" + hierarchy.relocationName;
      dir.node = folder;
      dir.modified = folder != nullptr ? timeOf(options, *folder) : timeOf(options, root);
      dir.relocated = node == nullptr;
      entry.target = static_cast<std::uint32_t>(dirs.size());
      if (dir.relocated) relocatedIndex.emplace(folder, entry.target);
      // The relocation folder's entries are no subfolders of it in the tree.
      if (node != nullptr) ++dirs[index].folders;
      dirs.push_back(std::move(dir));
      pending.emplace_back(entry.target, folder);
    }
    entries.shrink_to_fit();
    dirs[index].entries = std::move(entries);
  }
  if (dirs.size() > 0xFFFF)
    return fail(ErrorKind::InvalidArgument, "more than 65535 folders: a path table cannot number them");
  return hierarchy;
}

}  // namespace emberline::image
