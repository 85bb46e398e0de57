#include "image/source_scan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace emberline::image {

namespace {

struct FileIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const FileIdentity&) const = default;
};

Error sourceError(const std::string& path, const char* what, int err) {
  return Error::fromErrno(ErrorKind::File, std::string("cannot ") + what + " " + path + ": " + std::strerror(err), err);
}

Status checkReadable(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(sourceError(path, "read", errno));
  ::close(fd);
  return {};
}

std::string baseName(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::size_t slash = trimmed.rfind('/');
  return slash == std::string::npos ? trimmed : trimmed.substr(slash + 1);
}

Result<std::string> readLink(const std::string& path, std::size_t size) {
  // The size lstat gives may be 0 (some file systems) or outdated: read until the target fits.
  std::string target(std::max<std::size_t>(size, 255) + 1, '\0');
  for (;;) {
    const ssize_t got = ::readlink(path.c_str(), target.data(), target.size());
    if (got < 0) return fail(sourceError(path, "read the link", errno));
    if (static_cast<std::size_t>(got) < target.size()) {
      target.resize(static_cast<std::size_t>(got));
      return target;
    }
    target.resize(target.size() * 2);
  }
}

class Scanner {
 public:
  Scanner(NameArena& names, const TreeCapture& capture, UnixAttributeTable* attributes)
      : names_(names), capture_(capture), attributes_(capture.attributes ? attributes : nullptr) {}

  /// `entry` is the name inside the folder above, or empty for the path the scan starts at.
  Result<std::unique_ptr<TreeNode>> scan(const std::string& path, const std::string& relative, std::string_view entry) {
    struct stat info {};
    const int found = capture_.linksAsLinks ? ::lstat(path.c_str(), &info) : ::stat(path.c_str(), &info);
    if (found != 0) return fail(sourceError(path, "read", errno));
    auto node = std::make_unique<TreeNode>();
    if (entry.empty()) {
      node->name = names_.store(baseName(path));
      node->sourceName = names_.store(path);
      node->sourceWhole = true;
    } else {
      node->name = names_.store(entry);
      node->sourceName = node->name;
    }
    node->modified = info.st_mtime;
    if (S_ISLNK(info.st_mode)) {
      // Kept as a link: nothing is read through it, so it may point anywhere, or nowhere.
      auto target = readLink(path, static_cast<std::size_t>(info.st_size));
      if (!target.ok()) return fail(std::move(target).error());
      remember(*node, info);
      if (attributes_ != nullptr) attributes_->setLinkTarget(*node, *target);
      return node;
    }
    if (S_ISREG(info.st_mode)) {
      EMBERLINE_TRY(checkReadable(path));
      node->size = static_cast<std::uint64_t>(info.st_size);
      remember(*node, info);
      return node;
    }
    if (!S_ISDIR(info.st_mode)) {
      leftOut.emplace_back(relative, "not a regular file or folder: " + path);
      return std::unique_ptr<TreeNode>();
    }
    const FileIdentity identity{info.st_dev, info.st_ino};
    if (std::find(ancestors_.begin(), ancestors_.end(), identity) != ancestors_.end()) {
      leftOut.emplace_back(relative, "a link back to a folder that contains it: " + path);
      return std::unique_ptr<TreeNode>();
    }
    node->folder = true;
    remember(*node, info);
    // A scan that fails leaves nothing behind: the table must not keep nodes that are gone.
    const auto abandon = [&](Error error) {
      if (attributes_ != nullptr) attributes_->forget(*node);
      return fail(std::move(error));
    };
    auto names = entriesOf(path);
    if (!names.ok()) return abandon(std::move(names).error());
    ancestors_.push_back(identity);
    node->children.reserve(names->size());
    for (const std::string& inner : *names) {
      auto child = scan(path + "/" + inner, relative + "/" + inner, inner);
      if (!child.ok()) return abandon(std::move(child).error());
      if (*child) {
        (*child)->parent = node.get();
        node->children.push_back(std::move(*child));
      }
    }
    ancestors_.pop_back();
    return node;
  }

  std::vector<std::pair<std::string, std::string>> leftOut;

 private:
  static Result<std::vector<std::string>> entriesOf(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) return fail(sourceError(path, "list", errno));
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) return fail(sourceError(path, "list", err));
    // Directory order is whatever the file system keeps; a sorted scan makes
    // collision outcomes the same on every run.
    std::sort(names.begin(), names.end());
    return names;
  }

  void remember(const TreeNode& node, const struct stat& info) {
    if (attributes_ == nullptr) return;
    UnixAttributes a;
    a.accessed = info.st_atime;
    a.changed = info.st_ctime;
    a.mode = static_cast<std::uint32_t>(info.st_mode);
    a.uid = static_cast<std::uint32_t>(info.st_uid);
    a.gid = static_cast<std::uint32_t>(info.st_gid);
    a.links = static_cast<std::uint32_t>(info.st_nlink);
    a.serial = attributes_->serialOf(info.st_dev, info.st_ino, !S_ISDIR(info.st_mode) && info.st_nlink > 1);
    attributes_->set(node, a);
  }

  NameArena& names_;
  TreeCapture capture_;
  UnixAttributeTable* attributes_;
  std::vector<FileIdentity> ancestors_;
};

}  // namespace

Result<ScannedSource> scanSource(const std::string& path, NameArena& names, const TreeCapture& capture,
                                 UnixAttributeTable* attributes) {
  if (path.empty()) return fail(ErrorKind::InvalidArgument, "no source path given");
  Scanner scanner(names, capture, attributes);
  auto node = scanner.scan(path, "", {});
  if (!node.ok()) return fail(std::move(node).error());
  if (!*node) {
    std::string reason = scanner.leftOut.empty() ? "cannot be added" : scanner.leftOut.front().second;
    return fail(ErrorKind::File, "cannot add " + path + ": " + reason);
  }
  return ScannedSource{std::move(*node), std::move(scanner.leftOut)};
}

}  // namespace emberline::image
