#include "image/file_tree.h"

#include <algorithm>
#include <ctime>
#include <string_view>
#include <unordered_set>

#include "core/clock.h"
#include "image/iso_names.h"
#include "image/joliet_names.h"
#include "image/source_scan.h"

namespace emberline::image {

namespace {

// A bound on automatic renaming, so a folder full of look-alike names fails
// instead of searching forever.
constexpr unsigned kMaxCounter = 100000;

std::vector<std::string> components(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t at = 0;
  while (at <= path.size()) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    if (slash > at) parts.emplace_back(path.substr(at, slash - at));
    at = slash + 1;
  }
  return parts;
}

bool validTreeName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

TreeNode* sibling(TreeNode& parent, const TreeNode& node, bool (*same)(const TreeNode&, const TreeNode&)) {
  for (auto& child : parent.children)
    if (child.get() != &node && same(*child, node)) return child.get();
  return nullptr;
}

bool sameIso(const TreeNode& a, const TreeNode& b) {
  return a.isoName == b.isoName || a.name == b.name;
}
bool sameJoliet(const TreeNode& a, const TreeNode& b) {
  return jolietNamesCollide(a.jolietName, b.jolietName);
}
bool sameJolietExactly(const TreeNode& a, const TreeNode& b) {
  return a.jolietName == b.jolietName;
}

bool isoNameTaken(const TreeNode& parent, const TreeNode& node, std::string_view name) {
  return std::any_of(parent.children.begin(), parent.children.end(),
                     [&](const auto& child) { return child.get() != &node && child->isoName == name; });
}
bool treeNameTaken(const TreeNode& parent, const TreeNode& node, std::string_view name) {
  return std::any_of(parent.children.begin(), parent.children.end(),
                     [&](const auto& child) { return child.get() != &node && child->name == name; });
}
bool jolietNameTaken(const TreeNode& parent, const TreeNode& node, std::u16string_view name, bool exactly) {
  return std::any_of(parent.children.begin(), parent.children.end(), [&](const auto& child) {
    return child.get() != &node && (exactly ? child->jolietName == name : jolietNamesCollide(child->jolietName, name));
  });
}

NameCollision describe(const TreeNode& first, const TreeNode& second, bool joliet) {
  NameCollision c;
  c.joliet = joliet;
  c.isoName = first.isoName;
  c.jolietName = first.jolietName;
  c.firstSource = first.sourceName.empty() ? first.treePath() : first.source();
  c.firstFolder = first.folder;
  c.secondSource = second.sourceName.empty() ? second.treePath() : second.source();
  c.secondFolder = second.folder;
  return c;
}

Error noFreeName(const TreeNode& node) {
  return Error::make(ErrorKind::InvalidArgument, "no free name left for " + node.source() + " in " +
                                                     (node.parent ? node.parent->treePath() : std::string("/")));
}

}  // namespace

FileTree::FileTree(TreeObserver* observer) : observer_(observer), root_(std::make_unique<TreeNode>()) {
  root_->folder = true;
  root_->modified = recordingTime();
}

const TreeNode* FileTree::find(std::string_view treePath) const {
  const TreeNode* node = root_.get();
  for (const std::string& part : components(treePath)) {
    auto it = std::find_if(node->children.begin(), node->children.end(),
                           [&](const auto& child) { return child->name == part; });
    if (it == node->children.end()) return nullptr;
    node = it->get();
  }
  return node;
}

Result<TreeNode*> FileTree::folderAt(std::string_view treePath) {
  TreeNode* node = root_.get();
  for (const std::string& part : components(treePath)) {
    if (!validTreeName(part))
      return fail(ErrorKind::InvalidArgument, "bad folder name in tree path " + std::string(treePath));
    auto it = std::find_if(node->children.begin(), node->children.end(),
                           [&](const auto& child) { return child->name == part; });
    if (it != node->children.end()) {
      if (!(*it)->folder) return fail(ErrorKind::InvalidArgument, (*it)->treePath() + " is a file, not a folder");
      node = it->get();
      continue;
    }
    auto folder = std::make_unique<TreeNode>();
    folder->name = names_.store(part);
    folder->folder = true;
    folder->modified = recordingTime();
    // A node of the tree's own has no source: clear what a node gone from this address may have left.
    attributes_.forget(*folder);
    TreeNode* parent = node;
    auto placed = insert(*parent, std::move(folder));
    if (!placed.ok()) return fail(std::move(placed).error());
    auto again = std::find_if(parent->children.begin(), parent->children.end(),
                              [&](const auto& child) { return child->name == part; });
    if (*placed == Placement::Skipped || again == parent->children.end() || !(*again)->folder)
      return fail(ErrorKind::InvalidArgument, "cannot create the tree folder " + std::string(treePath));
    node = again->get();
  }
  return node;
}

Status FileTree::setCapture(const TreeCapture& capture) {
  if (capture == capture_) return {};
  if (!root_->children.empty())
    return fail(ErrorKind::InvalidArgument,
                "Rock Ridge and the treatment of links are chosen before the first folder or file is added");
  capture_ = capture;
  return {};
}

Status FileTree::addFolder(std::string_view treeFolder, const std::string& sourceFolder) {
  auto scanned = scanSource(sourceFolder, names_, capture_, &attributes_);
  if (!scanned.ok()) return fail(std::move(scanned).error());
  if (!scanned->node->folder) {
    attributes_.forget(*scanned->node);
    return fail(ErrorKind::InvalidArgument, sourceFolder + " is not a folder");
  }
  auto parent = folderAt(treeFolder);
  if (!parent.ok()) return fail(std::move(parent).error());
  const std::string base = (*parent)->treePath() == "/" ? "" : (*parent)->treePath();
  const std::string folderPath = base + "/" + std::string(scanned->node->name);
  auto placed = insert(**parent, std::move(scanned->node));
  if (!placed.ok()) return fail(std::move(placed).error());
  if (observer_ != nullptr)
    for (const auto& [relative, reason] : scanned->leftOut) observer_->ignored(folderPath + relative, reason);
  return {};
}

Status FileTree::addFile(std::string_view treeFolder, const std::string& sourceFile, std::string_view name) {
  if (!name.empty() && !validTreeName(name))
    return fail(ErrorKind::InvalidArgument, "bad file name \"" + std::string(name) + "\"");
  auto scanned = scanSource(sourceFile, names_, capture_, &attributes_);
  if (!scanned.ok()) return fail(std::move(scanned).error());
  if (scanned->node->folder) {
    attributes_.forget(*scanned->node);
    return fail(ErrorKind::InvalidArgument, sourceFile + " is a folder, not a file");
  }
  if (!name.empty()) scanned->node->name = names_.store(name);
  auto parent = folderAt(treeFolder);
  if (!parent.ok()) return fail(std::move(parent).error());
  auto placed = insert(**parent, std::move(scanned->node));
  if (!placed.ok()) return fail(std::move(placed).error());
  return {};
}

Status FileTree::addOutsideFile(std::string_view treeFolder, std::string_view name, std::uint32_t lba,
                                std::uint64_t bytes, std::time_t modified) {
  if (!validTreeName(name)) return fail(ErrorKind::InvalidArgument, "bad file name \"" + std::string(name) + "\"");
  auto node = std::make_unique<TreeNode>();
  node->name = names_.store(name);
  node->size = bytes;
  node->modified = modified;
  node->outsideLba = lba;
  node->outside = true;
  attributes_.forget(*node);
  auto parent = folderAt(treeFolder);
  if (!parent.ok()) return fail(std::move(parent).error());
  auto placed = insert(**parent, std::move(node));
  if (!placed.ok()) return fail(std::move(placed).error());
  return {};
}

Status FileTree::addEmptyFolder(std::string_view treeFolder) {
  auto folder = folderAt(treeFolder);
  if (!folder.ok()) return fail(std::move(folder).error());
  return {};
}

Status FileTree::remove(std::string_view treePath) {
  const TreeNode* found = find(treePath);
  if (found == nullptr) return fail(ErrorKind::InvalidArgument, "nothing at " + std::string(treePath) + " in the tree");
  attributes_.forget(*found);
  if (found == root_.get()) {
    for (const auto& child : root_->children) reportRemoved(*child);
    root_->children.clear();
    return {};
  }
  reportRemoved(*found);
  auto& siblings = found->parent->children;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(), [&](const auto& c) { return c.get() == found; }));
  return {};
}

Result<FileTree::Placement> FileTree::insert(TreeNode& parent, std::unique_ptr<TreeNode> node) {
  // Children go in one by one: names inside a scanned folder can collide too.
  std::vector<std::unique_ptr<TreeNode>> children = std::move(node->children);
  node->children.clear();
  if (!node->sourceWhole && !node->sourceName.empty() && node->parent != nullptr && node->parent != &parent) {
    // Merged into another folder: the path can no longer be rebuilt from the new parent's.
    node->sourceName = names_.store(node->source());
    node->sourceWhole = true;
  }
  node->parent = &parent;
  computeNames(*node);

  TreeNode* mergeInto = nullptr;
  auto iso = settleIsoName(parent, *node, mergeInto);
  if (!iso.ok()) return fail(std::move(iso).error());
  if (*iso == Placement::Added) {
    auto joliet = settleJolietName(parent, *node, mergeInto);
    if (!joliet.ok()) return fail(std::move(joliet).error());
    iso = *joliet;
  }
  if (*iso == Placement::Skipped) {
    attributes_.forget(*node);
    for (const auto& child : children) attributes_.forget(*child);
    return Placement::Skipped;
  }

  TreeNode* target = mergeInto;
  if (*iso == Placement::Merged) attributes_.forget(*node);  // the folder already there stands for it
  if (*iso == Placement::Added) {
    parent.children.push_back(std::move(node));
    target = parent.children.back().get();
    reportAdded(*target);
  }
  target->children.reserve(target->children.size() + children.size());
  for (auto& child : children) {
    auto placed = insert(*target, std::move(child));
    if (!placed.ok()) return fail(std::move(placed).error());
  }
  return *iso;
}

Result<FileTree::Placement> FileTree::settleIsoName(TreeNode& parent, TreeNode& node, TreeNode*& mergeInto) {
  TreeNode* first = sibling(parent, node, sameIso);
  if (first == nullptr) return Placement::Added;
  const bool sameTreePath = first->name == node.name;
  // The same folder added twice is one folder in the tree, not a collision.
  if (sameTreePath && first->folder && node.folder) {
    mergeInto = first;
    return Placement::Merged;
  }
  const NameCollision collision = describe(*first, node, false);
  std::optional<CollisionDecision> decision;
  if (const auto settled =
          keepOrMerge(collision, *first, node, mergeInto, decision, "its ISO 9660 name " + std::string(node.isoName)))
    return *settled;
  // The observer hears the name the entry ends up with, whichever way it was found; a new tree
  // name gives the entry a new Joliet name too, and that is told as well.
  const std::u16string jolietBefore(node.jolietName);
  const auto renamed = [&] {
    if (observer_ == nullptr) return Placement::Added;
    const CollisionDecision outcome{CollisionAnswer::Rename, std::string(node.isoName),
                                    std::u16string(node.jolietName)};
    observer_->settled(collision, outcome);
    if (outcome.jolietName != jolietBefore) {
      NameCollision joliet = collision;
      joliet.joliet = true;
      joliet.jolietName = jolietBefore;
      observer_->settled(joliet, outcome);
    }
    return Placement::Added;
  };
  if (decision && decision->answer == CollisionAnswer::Rename) {
    const std::string wanted = isoName(decision->isoName, node.folder, kLevel2Names);
    if (!isoNameTaken(parent, node, wanted) && !(sameTreePath && treeNameTaken(parent, node, wanted))) {
      node.isoName = names_.store(wanted);
      if (sameTreePath) {
        node.name = node.isoName;
        node.jolietName = names_.store(jolietName(node.name));
      }
      return renamed();
    }
  }
  // Long names cut to the same identifier can fill a folder with counters:
  // the siblings' names are gathered once, not scanned again for every
  // candidate. Candidates are kept in the arena only once one is taken.
  std::unordered_set<std::string_view> isoTaken;
  std::unordered_set<std::string_view> treeTaken;
  for (const auto& child : parent.children) {
    if (child.get() == &node) continue;
    isoTaken.insert(child->isoName);
    if (sameTreePath) treeTaken.insert(child->name);
  }
  for (unsigned counter = 1; counter <= kMaxCounter; ++counter) {
    if (sameTreePath) {
      const std::string name = treeNameWithCounter(node.name, counter);
      if (treeTaken.contains(name)) continue;
      const std::string iso = isoName(name, node.folder, kLevel2Names);
      if (isoTaken.contains(iso)) continue;
      node.name = names_.store(name);
      node.isoName = names_.store(iso);
      node.jolietName = names_.store(jolietName(node.name));
      return renamed();
    }
    const std::string iso = isoNameWithCounter(node.isoName, node.folder, counter, kLevel2Names);
    if (!isoTaken.contains(iso)) {
      node.isoName = names_.store(iso);
      return renamed();
    }
  }
  return fail(noFreeName(node));
}

Result<FileTree::Placement> FileTree::settleJolietName(TreeNode& parent, TreeNode& node, TreeNode*& mergeInto) {
  // A tree with Rock Ridge keeps names that differ in case only, in Joliet
  // too: readers that take Joliet then list them as the source has them.
  const bool exactly = capture_.attributes;
  TreeNode* first = sibling(parent, node, exactly ? sameJolietExactly : sameJoliet);
  if (first == nullptr) return Placement::Added;
  const NameCollision collision = describe(*first, node, true);
  std::optional<CollisionDecision> decision;
  if (const auto settled = keepOrMerge(collision, *first, node, mergeInto, decision, "its Joliet name"))
    return *settled;
  const auto renamed = [&] {
    if (observer_ != nullptr)
      observer_->settled(collision,
                         {CollisionAnswer::Rename, std::string(node.isoName), std::u16string(node.jolietName)});
    return Placement::Added;
  };
  if (decision && decision->answer == CollisionAnswer::Rename) {
    const std::u16string wanted = jolietName(std::u16string_view(decision->jolietName));
    if (!jolietNameTaken(parent, node, wanted, exactly)) {
      node.jolietName = names_.store(wanted);
      return renamed();
    }
  }
  for (unsigned counter = 1; counter <= kMaxCounter; ++counter) {
    const std::u16string name = jolietNameWithCounter(node.jolietName, counter);
    if (!jolietNameTaken(parent, node, name, exactly)) {
      node.jolietName = names_.store(name);
      return renamed();
    }
  }
  return fail(noFreeName(node));
}

std::optional<FileTree::Placement> FileTree::keepOrMerge(const NameCollision& collision, TreeNode& first,
                                                         const TreeNode& node, TreeNode*& mergeInto,
                                                         std::optional<CollisionDecision>& decision,
                                                         const std::string& nameUsed) {
  if (observer_ == nullptr) return std::nullopt;
  decision = observer_->collision(collision);
  if (decision && decision->answer == CollisionAnswer::KeepFirst) {
    observer_->ignored(node.treePath(), nameUsed + " is already used by " + first.treePath());
    observer_->settled(collision, {CollisionAnswer::KeepFirst, {}, {}});
    return Placement::Skipped;
  }
  if (decision && decision->answer == CollisionAnswer::Merge && first.folder && node.folder) {
    mergeInto = &first;
    observer_->settled(collision, {CollisionAnswer::Merge, {}, {}});
    return Placement::Merged;
  }
  return std::nullopt;
}

void FileTree::computeNames(TreeNode& node) {
  node.isoName = names_.store(isoName(node.name, node.folder, kLevel2Names));
  node.jolietName = names_.store(jolietName(node.name));
}

void FileTree::reportAdded(const TreeNode& node) {
  if (observer_ != nullptr) observer_->added(node.treePath(), node.source());
}

void FileTree::reportRemoved(const TreeNode& node) {
  for (const auto& child : node.children) reportRemoved(*child);
  if (observer_ != nullptr) observer_->removed(node.treePath(), node.source());
}

}  // namespace emberline::image
