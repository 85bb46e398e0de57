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

class Scanner {
 public:
  explicit Scanner(NameArena& names) : names_(names) {}

  /// `entry` is the name inside the folder above, or empty for the path the scan starts at.
  Result<std::unique_ptr<TreeNode>> scan(const std::string& path, const std::string& relative, std::string_view entry) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return fail(sourceError(path, "read", errno));
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
    if (S_ISREG(info.st_mode)) {
      EMBERLINE_TRY(checkReadable(path));
      node->size = static_cast<std::uint64_t>(info.st_size);
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
    auto names = entriesOf(path);
    if (!names.ok()) return fail(std::move(names).error());
    ancestors_.push_back(identity);
    node->children.reserve(names->size());
    for (const std::string& inner : *names) {
      auto child = scan(path + "/" + inner, relative + "/" + inner, inner);
      if (!child.ok()) return fail(std::move(child).error());
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

  NameArena& names_;
  std::vector<FileIdentity> ancestors_;
};

}  // namespace

Result<ScannedSource> scanSource(const std::string& path, NameArena& names) {
  if (path.empty()) return fail(ErrorKind::InvalidArgument, "no source path given");
  Scanner scanner(names);
  auto node = scanner.scan(path, "", {});
  if (!node.ok()) return fail(std::move(node).error());
  if (!*node) {
    std::string reason = scanner.leftOut.empty() ? "cannot be added" : scanner.leftOut.front().second;
    return fail(ErrorKind::File, "cannot add " + path + ": " + reason);
  }
  return ScannedSource{std::move(*node), std::move(scanner.leftOut)};
}

}  // namespace emberline::image
