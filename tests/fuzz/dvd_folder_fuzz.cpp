// The check of a VIDEO_TS folder before a DVD-Video burn or image. The input
// is a small archive of the folder's files, so the information files can be
// anything while the VOBs keep sizes of their own without their bytes:
//
//   repeated: name (1 byte, an index into kNames), size (4 bytes LE),
//             length (2 bytes LE), then that many leading bytes of the file
//
// A file is its leading bytes followed by zeros up to its size (sparse, at
// most kMaxFileBytes).

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "fuzz_files.h"
#include "video/dvd_folder.h"

using namespace emberline::video;

namespace {

constexpr std::array<const char*, 14> kNames = {
    "VIDEO_TS.IFO", "VIDEO_TS.BUP", "VIDEO_TS.VOB", "VTS_01_0.IFO", "VTS_01_0.BUP", "VTS_01_0.VOB", "VTS_01_1.VOB",
    "VTS_01_2.VOB", "VTS_02_0.IFO", "VTS_02_0.BUP", "VTS_02_1.VOB", "vts_01_3.vob", "NOTES.TXT",    "VTS_10_0.IFO",
};
constexpr std::uint64_t kMaxFileBytes = 64 << 20;

void writeFile(const std::filesystem::path& path, std::span<const std::uint8_t> lead, std::uint64_t size) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) std::abort();
  const std::uint64_t total = std::max<std::uint64_t>(lead.size(), std::min(size, kMaxFileBytes));
  if (::pwrite(fd, lead.data(), lead.size(), 0) != static_cast<ssize_t>(lead.size()) ||
      ::ftruncate(fd, static_cast<off_t>(total)) != 0)
    std::abort();
  ::close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::ScratchFolder scratch;
  const auto videoTs = scratch.path() / "VIDEO_TS";
  std::filesystem::remove_all(videoTs);
  std::filesystem::create_directory(videoTs);

  fuzz::InputReader in({data, size});
  while (!in.empty()) {
    const char* name = kNames[in.byte() % kNames.size()];
    const std::uint64_t fileSize = in.u32();
    const auto lead = in.take(in.u16());
    writeFile(videoTs / name, lead, fileSize);
  }

  const auto folder = checkDvdFolder(scratch.path().string());
  if (!folder) return 0;
  // What the check lists is what the folder holds.
  for (const DvdFile& file : folder->files) {
    std::error_code error;
    const auto bytes = std::filesystem::file_size(videoTs / file.source, error);
    if (error) fuzz::broken(file.source + " is listed but not in the folder");
    if (bytes != file.bytes) fuzz::broken(file.source + " is listed with another size");
  }
  return 0;
}
