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
    for (unsigned counter = 1; !jolietTaken_.insert(folded(name)).second; ++counter) {
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

bool entryLess(Flavour flavour, const HierarchyEntry& a, const HierarchyEntry& b) {
  if (flavour == Flavour::Joliet) return a.identifier < b.identifier;
  return isoIdentifierLess(a.identifier, b.identifier);
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

Result<Hierarchy> buildHierarchy(const TreeNode& root, const HierarchyOptions& options, ExtentRegistry& extents,
                                 const std::vector<ExtraRootFile>& extras) {
  Hierarchy hierarchy;
  hierarchy.flavour = options.flavour;
  auto& dirs = hierarchy.directories;
  HierarchyDirectory top;
  top.identifier = std::string_view("\0", 1);
  top.treePath = "/";
  top.node = &root;
  const auto timeOf = [&](const TreeNode& node) {
    return options.recordTime != 0 ? options.recordTime : node.modified;
  };
  top.modified = timeOf(root);
  dirs.push_back(std::move(top));

  // Relocation is decided on the whole tree first: the relocation folder is
  // one of the root's entries, and its entries come before the folders
  // they were moved out of.
  std::vector<const TreeNode*> relocated;
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
  while (!pending.empty()) {
    const auto [index, node] = pending.front();
    pending.pop_front();
    EntryNamer namer(options);
    std::vector<HierarchyEntry> entries;
    std::vector<const TreeNode*> nodes;    // parallel to entries; null for the extra files
    std::vector<std::string> identifiers;  // parallel to entries, until the folder's block holds them
    std::vector<const TreeNode*> children;
    if (node == nullptr) {
      children = relocated;
    } else {
      children.reserve(node->children.size());
      for (const auto& child : node->children) children.push_back(child.get());
    }
    entries.reserve(children.size() + (index == 0 ? extras.size() + 1 : 0));
    nodes.reserve(entries.capacity());
    identifiers.reserve(entries.capacity());
    for (const TreeNode* child : children) {
      auto identifier = identifierOf(*child, namer, options);
      if (!identifier.ok()) return fail(std::move(identifier).error());
      identifiers.push_back(std::move(*identifier));
      HierarchyEntry entry{identifiers.back(), child->folder, 0, timeOf(*child), child};
      if (child->folder) {
        if (node != nullptr && isRelocated.contains(child)) {
          // The folder itself was laid out under the relocation folder, whose entries came first.
          entry.directory = false;
          entry.relocated = true;
          entry.target = relocatedIndex.at(child);
          dirs[entry.target].home = index;
          ++dirs[index].folders;
        } else if (options.flavour == Flavour::Iso && !options.rockRidge && dirs[index].level + 1 > kMaxIsoLevels) {
          return fail(ErrorKind::InvalidArgument,
                      "the folder " + child->treePath() + " lies deeper than the 8 levels ISO 9660 allows");
        }
      } else {
        entry.target = extents.extentOf(*child);
      }
      nodes.push_back(child);
      const std::size_t limit = options.flavour == Flavour::Joliet ? kMaxJolietPathBytes : kMaxIsoPath;
      if (!options.rockRidge && pathLength(dirs, index, entry.identifier.size(), options.flavour) > limit)
        return fail(tooLong(child->treePath(), options.flavour));
      entries.push_back(std::move(entry));
    }
    if (index == 0 && !relocated.empty()) {
      auto identifier = namer.iso("RR_MOVED", true);
      if (!identifier.ok()) return fail(std::move(identifier).error());
      identifiers.push_back(std::move(*identifier));
      entries.push_back(HierarchyEntry{{}, true, 0, timeOf(root), nullptr});
      nodes.push_back(nullptr);
    }
    if (index == 0) {
      for (const ExtraRootFile& extra : extras) {
        auto identifier =
            options.flavour == Flavour::Joliet ? namer.joliet(extra.jolietName) : namer.iso(extra.isoName, false);
        if (!identifier.ok()) return fail(std::move(identifier).error());
        identifiers.push_back(std::move(*identifier));
        entries.push_back(HierarchyEntry{{}, false, extra.extent, extra.modified});
        nodes.push_back(nullptr);
      }
    }
    // The identifiers move into one block of the folder's own; the entries point there.
    std::size_t identifierBytes = 0;
    for (const std::string& identifier : identifiers) identifierBytes += identifier.size();
    std::vector<char>& block = dirs[index].entryIdentifiers;
    block.resize(identifierBytes);
    for (std::size_t i = 0, at = 0; i < entries.size(); ++i) {
      std::copy(identifiers[i].begin(), identifiers[i].end(), block.begin() + static_cast<std::ptrdiff_t>(at));
      entries[i].identifier = std::string_view(block.data() + at, identifiers[i].size());
      at += identifiers[i].size();
    }
    std::vector<std::string>().swap(identifiers);
    // Folders are numbered in the order the sorted entries list them.
    std::vector<std::size_t> sorted(entries.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) sorted[i] = i;
    std::sort(sorted.begin(), sorted.end(),
              [&](std::size_t a, std::size_t b) { return entryLess(options.flavour, entries[a], entries[b]); });
    std::vector<HierarchyEntry> result;
    result.reserve(entries.size());
    for (std::size_t i : sorted) {
      HierarchyEntry entry = entries[i];
      if (entry.directory) {
        const TreeNode* folder = nodes[i];
        HierarchyDirectory dir;
        // Kept apart from the entries' block: the path table and the lengths
        // of deeper paths still need it after the parent's records are written.
        dir.identifier = hierarchy.identifiers.store(entry.identifier);
        dir.parent = index;
        dir.home = index;
        dir.level = dirs[index].level + 1;
        dir.treePath = folder != nullptr ? folder->treePath() : "/" + hierarchy.relocationName;
        dir.node = folder;
        dir.modified = folder != nullptr ? timeOf(*folder) : timeOf(root);
        dir.relocated = node == nullptr;
        entry.target = dirs.size();
        if (dir.relocated) relocatedIndex.emplace(folder, entry.target);
        // The relocation folder's entries are no subfolders of it in the tree.
        if (node != nullptr) ++dirs[index].folders;
        dirs.push_back(std::move(dir));
        pending.emplace_back(entry.target, folder);
      }
      result.push_back(std::move(entry));
    }
    dirs[index].entries = std::move(result);
  }
  if (dirs.size() > 0xFFFF)
    return fail(ErrorKind::InvalidArgument, "more than 65535 folders: a path table cannot number them");
  return hierarchy;
}

}  // namespace emberline::image
