#include "support/process_scratch.h"

#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace test_support {
namespace {

class ScratchRoot {
 public:
  ScratchRoot() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("ondrelle-test-" + std::to_string(::getpid()) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a scratch folder: " + pattern);
    path_ = pattern;
  }
  ~ScratchRoot() {
    // Tests may leave read-only folders behind them: open them up so all goes.
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(
             path_, std::filesystem::directory_options::skip_permission_denied, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      if (it->is_directory(ignored) && !it->is_symlink(ignored))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
    }
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchRoot(const ScratchRoot&) = delete;
  ScratchRoot& operator=(const ScratchRoot&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// Library start-ups that name no folder for the virtual writers' discs record
// into this process's own, never into the user's home where every test would meet.
[[maybe_unused]] const bool kVirtualDirectorySet = [] {
  if (std::getenv("ONDRELLE_VIRTUAL_DIR") == nullptr)
    ::setenv("ONDRELLE_VIRTUAL_DIR", defaultVirtualDirectory().c_str(), 0);
  return true;
}();

}  // namespace

const std::filesystem::path& processScratch() {
  static const ScratchRoot root;
  return root.path();
}

std::filesystem::path defaultVirtualDirectory() {
  return processScratch() / "virtual";
}

std::filesystem::path freshFolder(const std::string& name) {
  const auto dir = processScratch() / name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

}  // namespace test_support
