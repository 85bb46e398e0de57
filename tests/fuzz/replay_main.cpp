// Replays inputs through a fuzz target without the fuzzer: every file named
// on the command line, or found under a folder named there, is handed to the
// target once. The test build uses it so that the seed corpora and any input
// kept from a crash run with every test, under the suite's sanitizers.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

bool replayFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::fprintf(stderr, "%s (%zu bytes)\n", path.c_str(), bytes.size());
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    const fs::path given(argv[i]);
    std::error_code error;
    if (fs::is_directory(given, error)) {
      std::vector<fs::path> files;
      for (const auto& entry : fs::recursive_directory_iterator(given))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
      for (const auto& file : files) {
        if (!replayFile(file)) return 1;
        ++replayed;
      }
    } else {
      if (!replayFile(given)) return 1;
      ++replayed;
    }
  }
  if (replayed == 0) {
    std::fprintf(stderr, "no inputs to replay\n");
    return 1;
  }
  std::printf("%zu inputs replayed\n", replayed);
  return 0;
}
