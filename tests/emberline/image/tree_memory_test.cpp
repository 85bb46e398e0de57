// What a file tree costs per file, and that the packed names and rebuilt
// source paths still say where every file is read from.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "image/file_tree.h"
#include "image/image_builder.h"
#include "image/name_arena.h"

namespace {

namespace fs = std::filesystem;
using emberline::image::FileTree;
using emberline::image::TextPool;

class TempFolder {
 public:
  TempFolder() {
    // Thousands of files are made quicker in memory than on a busy disk.
    const fs::path base = ::access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm") : fs::temp_directory_path();
    std::string pattern = (base / "tree-memory-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps its own heap: it counts the bytes asked for, which
// is what the tree costs, without glibc's few bytes per allocation.
constexpr bool kSanitizerHeap = true;
// The sanitizer runtime's own count (GCC ships no header that declares it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
std::size_t heapInUse() {
  return __sanitizer_get_current_allocated_bytes();
}
#else
constexpr bool kSanitizerHeap = false;
std::size_t heapInUse() {
  return mallinfo2().uordblks;
}
#endif

/// The most memory the run has held. On the optimised build the process's
/// peak resident size (it sees every transient peak); under the sanitizer
/// its heap, sampled after every step, since its shadow and quarantine make
/// the resident size meaningless.
class PeakMemory {
 public:
  PeakMemory() : start_(now()), peak_(start_) {}
  void sample() { peak_ = std::max(peak_, now()); }
  std::size_t growth() {
    sample();
    return peak_ - start_;
  }

 private:
  static std::size_t now() {
    if (kSanitizerHeap) return heapInUse();
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
  }
  std::size_t start_;
  std::size_t peak_;
};

void makeEmptyFile(const fs::path& path, bool oneByte) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  ASSERT_GE(fd, 0) << path;
  if (oneByte) {
    ASSERT_EQ(::write(fd, "x", 1), 1);
  }
  ::close(fd);
}

TEST(TreeMemory, TwentyThousandFilesStayWithinTheirBound) {
  TempFolder temp;
  const fs::path source = temp.path() / "many";
#if defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
  constexpr int kFiles = 20000;
#else
  constexpr int kFiles = 5000;  // glibc's heap on an unoptimised build: checked for its paths only
#endif
  for (int n = 0; n < kFiles; ++n) {
    const fs::path folder = source / ("folder " + std::to_string(n / 400));
    if (n % 400 == 0) fs::create_directories(folder);
    const std::string file = (folder / ("file number " + std::to_string(n) + ".txt")).string();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << file;
    ::close(fd);
  }
  const std::size_t before = heapInUse();
  {
    FileTree tree(nullptr);
    ASSERT_TRUE(tree.addFolder("/", source.string()).ok());
    const std::size_t perFile = (heapInUse() - before) / kFiles;
    RecordProperty("bytes_per_file", static_cast<int>(perFile));
    // About 230 bytes with names of about 20 characters packed; a string per
    // name and a whole source path per node would not fit.
    EXPECT_LE(perFile, 300u) << perFile << " bytes per file";
    const std::string folder = "folder " + std::to_string((kFiles - 1) / 400);
    const std::string file = "file number " + std::to_string(kFiles - 1) + ".txt";
    const auto* last = tree.find("/many/" + folder + "/" + file);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->source(), (source / folder / file).string());
  }
}

TEST(TreeMemory, RockRidgeImageOfFiftyThousandFilesStaysWithinItsBound) {
  // The whole run, the tree, the image's layout and its streaming, peaks at
  // most 512 bytes per file above where it started: the directories, a few
  // hundred bytes per file with Rock Ridge, are made as they are read.
  TempFolder temp;
  const fs::path source = temp.path() / "tiny";
#if defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
  constexpr int kFiles = 50000;
#else
  constexpr int kFiles = 3000;  // unoptimised without a sanitizer: checked for its reading only
#endif
  for (int n = 0; n < kFiles; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "tiny file %06d.txt", n);
    const fs::path folder = source / ("folder " + std::to_string(n / 500));
    if (n % 500 == 0) fs::create_directories(folder);
    ASSERT_NO_FATAL_FAILURE(makeEmptyFile(folder / name, n % 2 == 1));
  }
  PeakMemory peak;
  std::uint64_t read = 0;
  {
    FileTree tree(nullptr);
    ASSERT_TRUE(tree.setCapture({true, true}).ok());
    ASSERT_TRUE(tree.addFolder("/", source.string()).ok());
    peak.sample();
    emberline::image::BuildOptions options;
    options.volumeLabel = "BENCH";
    options.rockRidge = true;
    auto image = emberline::image::buildImage(tree, options);
    ASSERT_TRUE(image.ok()) << image.error().message;
    peak.sample();
    std::vector<std::uint8_t> buffer(64 * 1024);
    while (read < (*image)->size()) {
      const auto chunk = static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), (*image)->size() - read));
      ASSERT_TRUE((*image)->read(std::span(buffer).first(chunk)).ok()) << "at byte " << read;
      read += chunk;
      peak.sample();
    }
  }
  EXPECT_GT(read, std::uint64_t{kFiles} * 2048 / 2);  // the non-empty files' blocks at least
  const std::size_t perFile = peak.growth() / kFiles;
  RecordProperty("peak_bytes_per_file", static_cast<int>(perFile));
#if defined(NDEBUG) || defined(__SANITIZE_ADDRESS__)
  EXPECT_LE(perFile, 512u) << perFile << " bytes per file at the peak";
#endif
}

TEST(TreeMemory, ManyNamesCutToOneIdentifierAreNumberedInOnePass) {
  // Every name below is cut to the same ISO 9660 identifier: settling each
  // by scanning the folder once per counter grew with the cube of its size.
  TempFolder temp;
  const fs::path source = temp.path() / "alike";
  fs::create_directories(source);
#ifdef NDEBUG
  constexpr int kFiles = 2000;
#else
  constexpr int kFiles = 500;   // unoptimised and sanitised builds only check the numbering
#endif
  for (int n = 0; n < kFiles; ++n) {
    const std::string file = (source / ("a rather long name cut short " + std::to_string(n) + ".txt")).string();
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0) << file;
    ::close(fd);
  }
  FileTree tree(nullptr);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(tree.addFolder("/", source.string()).ok());
#ifdef NDEBUG
  // About 3 seconds here, half a minute before, on a busy 2-core machine.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
#else
  static_cast<void>(start);
#endif
  const auto* folder = tree.find("/alike");
  ASSERT_NE(folder, nullptr);
  ASSERT_EQ(folder->children.size(), static_cast<std::size_t>(kFiles));
  std::set<std::string_view> identifiers;
  for (const auto& child : folder->children) {
    EXPECT_LE(child->isoName.size(), 31u) << child->isoName;
    identifiers.insert(child->isoName);
  }
  EXPECT_EQ(identifiers.size(), static_cast<std::size_t>(kFiles));
}

TEST(TreeMemory, MergedFoldersKeepTheirOwnSources) {
  TempFolder temp;
  for (const char* side : {"left", "right"}) {
    fs::create_directories(temp.path() / side / "data" / "inner");
    std::ofstream(temp.path() / side / "data" / (std::string(side) + ".txt")) << side;
    std::ofstream(temp.path() / side / "data" / "inner" / (std::string(side) + ".bin")) << side;
  }
  FileTree tree(nullptr);
  ASSERT_TRUE(tree.addFolder("/", (temp.path() / "left" / "data").string()).ok());
  ASSERT_TRUE(tree.addFolder("/", (temp.path() / "right" / "data").string()).ok());
  ASSERT_TRUE(tree.addFile("/data/inner", (temp.path() / "left" / "data" / "left.txt").string(), "renamed.txt").ok());
  const auto sourceOf = [&](const char* treePath) {
    const auto* node = tree.find(treePath);
    return node == nullptr ? std::string("(missing)") : node->source();
  };
  EXPECT_EQ(sourceOf("/data/left.txt"), (temp.path() / "left/data/left.txt").string());
  EXPECT_EQ(sourceOf("/data/right.txt"), (temp.path() / "right/data/right.txt").string());
  EXPECT_EQ(sourceOf("/data/inner/left.bin"), (temp.path() / "left/data/inner/left.bin").string());
  EXPECT_EQ(sourceOf("/data/inner/right.bin"), (temp.path() / "right/data/inner/right.bin").string());
  EXPECT_EQ(sourceOf("/data/inner/renamed.txt"), (temp.path() / "left/data/left.txt").string());
}

TEST(TreeMemory, PooledTextsStayPutWhileThePoolGrows) {
  TextPool<char16_t> pool;
  std::vector<std::u16string> wanted;
  std::vector<std::u16string_view> stored;
  for (int n = 0; n < 5000; ++n) {
    // Mostly short texts, now and then one longer than a chunk's quarter.
    std::u16string text(n % 997 == 0 ? 9000 : 1 + n % 60, static_cast<char16_t>(u'a' + n % 26));
    stored.push_back(pool.store(text));
    wanted.push_back(std::move(text));
  }
  EXPECT_TRUE(pool.store(std::u16string_view()).empty());
  TextPool<char16_t> moved = std::move(pool);
  for (std::size_t i = 0; i < wanted.size(); ++i) ASSERT_EQ(stored[i], wanted[i]) << "text " << i;
}

}  // namespace
